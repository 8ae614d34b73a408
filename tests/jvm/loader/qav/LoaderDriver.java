package qav;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.LinkedHashSet;
import java.util.Set;

/**
 * One JVM start for the loader tests: optionally waits until a file appears
 * (so that two JVMs initialise qav.Native at the same moment), makes the
 * first call, and prints which library file the process mapped.
 */
public final class LoaderDriver {
    public static void main(String[] args) throws IOException, InterruptedException {
        if (args.length > 0) {
            System.out.println("ready");
            System.out.flush();
            Path go = Paths.get(args[0]);
            for (int i = 0; i < 3000 && !Files.exists(go); i++) {
                Thread.sleep(10);
            }
        }
        try {
            System.out.println("cwd " + Native.getCurrentDir());
        } catch (UnsatisfiedLinkError e) {
            System.out.println("UnsatisfiedLinkError: " + e.getMessage());
            System.exit(3);
        }
        Set<String> mapped = new LinkedHashSet<>();
        for (String line : Files.readAllLines(Paths.get("/proc/self/maps"))) {
            // A copy another JVM renamed over after this one mapped it shows as
            // deleted; what was mapped is still the whole copy that stood there.
            String entry = line.endsWith(" (deleted)") ? line.substring(0, line.length() - 10) : line;
            int slash = entry.indexOf('/');
            if (slash >= 0 && entry.contains("zozudu") && entry.endsWith(".so")) {
                mapped.add(entry.substring(slash));
            }
        }
        for (String path : mapped) {
            System.out.println("loaded " + path);
        }
    }
}
