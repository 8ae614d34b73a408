package qav;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.BasicFileAttributes;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/**
 * The loader run for real: each start is a JVM of its own with the test jar
 * (built as the release jar is, carrying the host library under the host's
 * resource folder) and a java.library.path without the library, so that
 * the jar's copy is the one that loads unless a test says otherwise.
 */
class NativeLoaderTest {
    static final Path JAR = Path.of(System.getProperty("zozudu.test.jar"));
    static final Path CLASSES_ONLY_JAR = Path.of(System.getProperty("zozudu.test.classesOnlyJar"));
    static final Path DRIVER = Path.of(System.getProperty("zozudu.test.driver"));
    static final Path LIBRARY = realPath(System.getProperty("zozudu.test.library"));
    static final String RESOURCE = System.getProperty("zozudu.test.resource");

    static Path realPath(String path) {
        try {
            return Path.of(path).toRealPath();
        } catch (IOException e) {
            throw new AssertionError(e);
        }
    }

    @TempDir
    Path temporary;
    Path work;
    Path cache;
    Path tmp;
    Path noLibrary;
    String sha256;

    @BeforeEach
    void folders() throws IOException {
        work = temporary.toRealPath();
        cache = Files.createDirectory(work.resolve("localappdata"));
        tmp = Files.createDirectory(work.resolve("tmp"));
        noLibrary = Files.createDirectory(work.resolve("no-library"));
        sha256 = NativeLoader.sha256(Files.readAllBytes(LIBRARY));
    }

    Path copyIn(Path parent) {
        return parent.resolve("zozudu").resolve(sha256).resolve(LIBRARY.getFileName());
    }

    /** A started JVM; its output is read when it is asked for. */
    final class Start {
        final Process process;
        final List<String> lines = new ArrayList<>();
        final BufferedReader out;
        final Path errors;

        Start(Path jar, List<String> properties, String... args) throws IOException {
            List<String> command = new ArrayList<>(List.of(
                    Path.of(System.getProperty("java.home"), "bin", "java").toString(), "-Xcheck:jni",
                    "-Djava.library.path=" + noLibrary, "-Djava.io.tmpdir=" + tmp));
            command.addAll(properties);
            command.addAll(List.of("-cp", jar + ":" + DRIVER, "qav.LoaderDriver"));
            command.addAll(List.of(args));
            // The JVM's own notices (newer JDKs warn of native access) go to
            // stderr; -Xcheck:jni reports on stdout, which is compared whole.
            errors = Files.createTempFile(work, "stderr", ".txt");
            process = new ProcessBuilder(command).redirectError(errors.toFile()).start();
            out = new BufferedReader(new InputStreamReader(process.getInputStream(), StandardCharsets.UTF_8));
        }

        String nextLine() throws IOException {
            String line = out.readLine();
            lines.add(line);
            return line;
        }

        /** Waits for the end; the output, and the exit code as its last line. */
        List<String> finish() throws IOException, InterruptedException {
            for (String line; (line = out.readLine()) != null;) {
                lines.add(line);
            }
            assertTrue(process.waitFor(60, TimeUnit.SECONDS), "the JVM ends");
            lines.add("exit " + process.exitValue());
            String stderr = Files.readString(errors);
            assertFalse(stderr.contains("native method") || stderr.contains("Exception"), stderr);
            return lines;
        }
    }

    List<String> start(Path jar, String... properties) throws IOException, InterruptedException {
        return new Start(jar, List.of(properties)).finish();
    }

    /** The output of a start whose first call reached the host library at the given file. */
    static List<String> loadedFrom(Path library) {
        return List.of("cwd C:\\", "loaded " + library, "exit 0");
    }

    void assertWholeCopyAlone(Path copy) throws IOException {
        assertArrayEquals(Files.readAllBytes(LIBRARY), Files.readAllBytes(copy), copy + " is whole");
        try (Stream<Path> files = Files.list(copy.getParent())) {
            assertEquals(List.of(copy), files.collect(Collectors.toList()), "no partial copy is left beside it");
        }
    }

    Object fileKey(Path file) throws IOException {
        return Files.readAttributes(file, BasicFileAttributes.class).fileKey();
    }

    @Test
    void theFirstStartExtractsTheNextReusesAndATamperedCopyIsReplaced() throws Exception {
        String cacheDir = "-Dzozudu.cache.dir=" + cache;
        Path copy = copyIn(cache);

        assertEquals(loadedFrom(copy), start(JAR, cacheDir));
        assertWholeCopyAlone(copy);
        assertFalse(Files.exists(tmp.resolve("zozudu")), "the temporary folder is not used");

        Object written = fileKey(copy);
        assertEquals(loadedFrom(copy), start(JAR, cacheDir));
        assertEquals(written, fileKey(copy), "the cached copy is reused, not written again");

        for (byte[] tampered : List.of("not a library".getBytes(StandardCharsets.US_ASCII),
                Arrays.copyOf(Files.readAllBytes(LIBRARY), 4096))) {
            Files.write(copy, tampered);
            assertEquals(loadedFrom(copy), start(JAR, cacheDir));
            assertWholeCopyAlone(copy);
        }
    }

    @Test
    void anUnwritableCacheFolderFallsBackToTheTemporaryFolder() throws Exception {
        // A file where the folder should be: even root cannot create the folder.
        Path blocked = Files.writeString(work.resolve("blocked"), "");
        assertEquals(loadedFrom(copyIn(tmp)), start(JAR, "-Dzozudu.cache.dir=" + blocked));
        assertWholeCopyAlone(copyIn(tmp));
    }

    @Test
    void twoJvmsStartingAtOnceBothLoadAWholeCopy() throws Exception {
        for (int round = 0; round < 3; round++) {
            Path parent = Files.createDirectory(work.resolve("race" + round));
            Path go = work.resolve("go" + round);
            List<String> properties = List.of("-Dzozudu.cache.dir=" + parent);
            Start first = new Start(JAR, properties, go.toString());
            Start second = new Start(JAR, properties, go.toString());
            assertEquals("ready", first.nextLine());
            assertEquals("ready", second.nextLine());
            Files.createFile(go);
            List<String> expected = new ArrayList<>(List.of("ready"));
            expected.addAll(loadedFrom(copyIn(parent)));
            assertEquals(expected, first.finish(), "round " + round);
            assertEquals(expected, second.finish(), "round " + round);
            assertWholeCopyAlone(copyIn(parent));
        }
    }

    @Test
    void theLibraryPathPropertyWinsOverTheJarAndJavaLibraryPathOverBoth() throws Exception {
        Path elsewhere = Files.createDirectory(work.resolve("elsewhere")).resolve(LIBRARY.getFileName());
        Files.copy(LIBRARY, elsewhere);
        assertEquals(loadedFrom(elsewhere),
                start(JAR, "-Dzozudu.cache.dir=" + cache, "-Dzozudu.library.path=" + elsewhere));
        assertFalse(Files.exists(cache.resolve("zozudu")), "nothing is extracted");

        // The last -D wins: java.library.path now holds the library.
        assertEquals(loadedFrom(LIBRARY), start(JAR, "-Dzozudu.cache.dir=" + cache,
                "-Dzozudu.library.path=" + elsewhere, "-Djava.library.path=" + LIBRARY.getParent()));
        assertFalse(Files.exists(cache.resolve("zozudu")), "nothing is extracted");
    }

    @Test
    void whenNothingLoadsOneErrorNamesEachPlaceAndWhy() throws Exception {
        Path missing = work.resolve("missing.so");
        List<String> noResource = start(CLASSES_ONLY_JAR, "-Dzozudu.library.path=" + missing);
        assertEquals("exit 3", noResource.get(noResource.size() - 1), String.join("\n", noResource));
        String message = String.join("\n", noResource);
        for (String part : List.of("UnsatisfiedLinkError: zozudu is a library for Windows",
                "java.library.path (" + noLibrary + "): ",
                "zozudu.library.path " + missing + ": no such file",
                "the jar's " + RESOURCE + ": not in the jar")) {
            assertTrue(message.contains(part), "'" + part + "' in:\n" + message);
        }

        // A named file that is no library, and neither cache folder can be made.
        Path notALibrary = Files.writeString(work.resolve("not-a-library.so"), "text");
        Path blocked = Files.writeString(work.resolve("blocked"), "");
        List<String> nowhere = start(JAR, "-Dzozudu.library.path=" + notALibrary,
                "-Dzozudu.cache.dir=" + blocked, "-Djava.io.tmpdir=" + blocked);
        message = String.join("\n", nowhere);
        assertEquals("exit 3", nowhere.get(nowhere.size() - 1), message);
        for (String part : List.of("zozudu.library.path " + notALibrary + ": " + notALibrary,
                "copied to " + blocked.resolve("zozudu").resolve(sha256) + ": java.nio.file.")) {
            assertTrue(message.contains(part), "'" + part + "' in:\n" + message);
        }
        assertEquals(2, message.split("copied to ", -1).length - 1, "both cache folders tried:\n" + message);
        assertFalse(message.contains("for Windows"), "the jar has this system's library:\n" + message);
    }

    @ParameterizedTest
    @CsvSource({
        "Windows 10,         x86,     32, win32-x86/zozudu.dll",
        "Windows XP,         i386,    32, win32-x86/zozudu.dll",
        "Windows 11,         amd64,   64, win32-x86-64/zozudu.dll",
        "Windows Server 2022, x86_64, 64, win32-x86-64/zozudu.dll",
        "Windows 7,          amd64,   32, win32-x86/zozudu.dll",
        "Windows 11,         aarch64, 64, win32-aarch64/zozudu.dll",
        "Linux,              amd64,   64, linux-x86-64/libzozudu.so",
        "Linux,              i686,    32, linux-x86/libzozudu.so",
    })
    void eachJvmLooksForTheResourceOfItsSystemAndProcessor(String os, String arch, String model,
            String resource) {
        assertEquals(resource, NativeLoader.resourcePath(os, arch, model));
    }
}
