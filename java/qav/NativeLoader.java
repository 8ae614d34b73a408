package qav;

import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.List;
import java.util.Locale;

/**
 * Finds and loads the native library for {@link Native}: from
 * java.library.path, else the file that the system property
 * {@code zozudu.library.path} names, else the copy that the jar carries for
 * this JVM, extracted once into a per-user cache folder named by its SHA-256.
 */
final class NativeLoader {
    static final String NAME = "zozudu";
    static final String LIBRARY_PATH_PROPERTY = "zozudu.library.path";
    /** Stands in for %LOCALAPPDATA% as the cache's parent; for tests. */
    static final String CACHE_DIR_PROPERTY = "zozudu.cache.dir";

    private NativeLoader() {
    }

    // Newer JDKs flag System.load and loadLibrary as restricted; loading the
    // library is what this class is for.
    @SuppressWarnings("restricted")
    static void load() {
        List<String> tried = new ArrayList<String>();
        try {
            System.loadLibrary(NAME);
            return;
        } catch (UnsatisfiedLinkError e) {
            tried.add("java.library.path (" + System.getProperty("java.library.path") + "): "
                    + e.getMessage());
        }

        String named = System.getProperty(LIBRARY_PATH_PROPERTY);
        if (named != null && loadFile(LIBRARY_PATH_PROPERTY + " " + named, new File(named), tried)) {
            return;
        }

        String osName = System.getProperty("os.name", "");
        String osArch = System.getProperty("os.arch", "");
        String resource = resourcePath(osName, osArch, System.getProperty("sun.arch.data.model", ""));
        byte[] library;
        try {
            library = readResource(resource);
        } catch (IOException e) {
            tried.add("the jar's " + resource + ": " + e.getMessage());
            throw failure(tried, null);
        }
        if (library == null) {
            tried.add("the jar's " + resource + ": not in the jar");
            throw failure(tried, isWindows(osName) ? null
                    : "zozudu is a library for Windows; this JVM runs on " + osName + " " + osArch);
        }

        String sha256 = sha256(library);
        String fileName = resource.substring(resource.lastIndexOf('/') + 1);
        for (File parent : cacheParents(osName)) {
            File folder = new File(new File(parent, NAME), sha256);
            File copy;
            try {
                copy = cachedCopy(folder, fileName, library, sha256);
            } catch (IOException e) {
                tried.add("the jar's " + resource + " copied to " + folder + ": " + e);
                continue;
            }
            if (loadFile("the jar's " + resource + " as " + copy, copy, tried)) {
                return;
            }
        }
        throw failure(tried, null);
    }

    /** The jar entry holding the library for a JVM with these properties. */
    static String resourcePath(String osName, String osArch, String dataModel) {
        String arch = osArch.toLowerCase(Locale.ROOT);
        boolean x86 = arch.equals("x86") || arch.matches("i[3-6]86");
        boolean amd64 = arch.equals("amd64") || arch.equals("x86_64");
        if (x86 || (amd64 && dataModel.equals("32"))) {
            arch = "x86";
        } else if (amd64) {
            arch = "x86-64";
        }
        if (isWindows(osName)) {
            return "win32-" + arch + "/" + NAME + ".dll";
        }
        String os = osName.toLowerCase(Locale.ROOT).replaceAll("[^a-z0-9]+", "");
        return os + "-" + arch + "/" + System.mapLibraryName(NAME);
    }

    private static boolean isWindows(String osName) {
        return osName.startsWith("Windows");
    }

    /** Where cache folders may go, in order: %LOCALAPPDATA% (on Windows), then java.io.tmpdir. */
    private static List<File> cacheParents(String osName) {
        List<File> parents = new ArrayList<File>();
        String local = System.getProperty(CACHE_DIR_PROPERTY);
        if (local == null && isWindows(osName)) {
            local = System.getenv("LOCALAPPDATA");
        }
        if (local != null && !local.isEmpty()) {
            parents.add(new File(local));
        }
        parents.add(new File(System.getProperty("java.io.tmpdir")));
        return parents;
    }

    /**
     * The folder's copy of the library, written first when it is missing or
     * differs. The bytes go to a temporary file in the same folder, renamed
     * into place, so that a JVM starting at the same time never sees a
     * partial copy.
     */
    static File cachedCopy(File folder, String fileName, byte[] library, String sha256)
            throws IOException {
        File copy = new File(folder, fileName);
        if (holds(copy, sha256)) {
            return copy;
        }
        Files.createDirectories(folder.toPath());
        Path partial = Files.createTempFile(folder.toPath(), fileName + ".", ".part");
        try {
            Files.write(partial, library);
            if (holds(copy, sha256)) {
                return copy;  // another JVM put the same copy there meanwhile
            }
            try {
                Files.move(partial, copy.toPath(), StandardCopyOption.ATOMIC_MOVE,
                        StandardCopyOption.REPLACE_EXISTING);
            } catch (IOException e) {
                // Windows refuses to replace a DLL that another JVM has just
                // put there and loaded; that copy serves as well.
                if (!holds(copy, sha256)) {
                    throw e;
                }
            }
        } finally {
            Files.deleteIfExists(partial);
        }
        return copy;
    }

    private static boolean holds(File copy, String sha256) throws IOException {
        return copy.isFile() && sha256.equals(sha256(Files.readAllBytes(copy.toPath())));
    }

    @SuppressWarnings("restricted")
    private static boolean loadFile(String place, File file, List<String> tried) {
        if (!file.isFile()) {
            tried.add(place + ": no such file");
            return false;
        }
        try {
            System.load(file.getAbsolutePath());
            return true;
        } catch (UnsatisfiedLinkError e) {
            tried.add(place + ": " + e.getMessage());
            return false;
        }
    }

    private static byte[] readResource(String resource) throws IOException {
        InputStream in = NativeLoader.class.getResourceAsStream("/" + resource);
        if (in == null) {
            return null;
        }
        try {
            ByteArrayOutputStream bytes = new ByteArrayOutputStream();
            byte[] buffer = new byte[16384];
            for (int n; (n = in.read(buffer)) > 0;) {
                bytes.write(buffer, 0, n);
            }
            return bytes.toByteArray();
        } finally {
            in.close();
        }
    }

    static String sha256(byte[] bytes) {
        try {
            StringBuilder hex = new StringBuilder(64);
            for (byte b : MessageDigest.getInstance("SHA-256").digest(bytes)) {
                hex.append(String.format("%02x", b & 0xff));
            }
            return hex.toString();
        } catch (NoSuchAlgorithmException e) {
            throw new AssertionError("every Java platform has SHA-256", e);
        }
    }

    private static UnsatisfiedLinkError failure(List<String> tried, String reason) {
        StringBuilder message = new StringBuilder();
        if (reason != null) {
            message.append(reason).append(". ");
        }
        message.append("Could not load the native library ").append(NAME).append("; tried:");
        for (String place : tried) {
            message.append("\n  ").append(place);
        }
        return new UnsatisfiedLinkError(message.toString());
    }
}
