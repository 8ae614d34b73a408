package qav;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.lang.reflect.Constructor;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;
import org.junit.jupiter.api.Test;

/**
 * qav.Native bound to the host library over its simulated default machine,
 * through a real JVM. The same tests run against the class with static and
 * with instance declarations: every call goes through reflection on
 * whichever form the class on the class path has.
 */
class NativeTest {
    private static final Object TARGET = target();

    private static Object target() {
        try {
            Constructor<Native> constructor = Native.class.getDeclaredConstructor();
            constructor.setAccessible(true);
            return constructor.newInstance();
        } catch (ReflectiveOperationException e) {
            throw new AssertionError(e);
        }
    }

    static Object call(String name, Object... args) {
        Class<?>[] types = new Class<?>[args.length];
        Arrays.fill(types, String.class);
        try {
            Method method = Native.class.getDeclaredMethod(name, types);
            return method.invoke(Modifier.isStatic(method.getModifiers()) ? null : TARGET, args);
        } catch (ReflectiveOperationException e) {
            throw new AssertionError(name + ": " + e.getCause(), e);
        }
    }

    static String descriptor(Method m) {
        StringBuilder d = new StringBuilder("(");
        for (Class<?> p : m.getParameterTypes()) {
            assertEquals(String.class, p, m.getName() + " takes only Strings");
            d.append("Ljava/lang/String;");
        }
        d.append(')');
        Class<?> r = m.getReturnType();
        if (r == int.class) d.append('I');
        else if (r == boolean.class) d.append('Z');
        else if (r == long.class) d.append('J');
        else if (r == float.class) d.append('F');
        else if (r == String.class) d.append("Ljava/lang/String;");
        else d.append('?');
        return d.toString();
    }

    /** The method table the library was built from: name and descriptor. */
    static Map<String, String> table() throws IOException {
        Map<String, String> rows = new TreeMap<>();
        for (String line : Files.readAllLines(Path.of(System.getProperty("zozudu.methods")))) {
            if (line.isBlank()) continue;
            String[] f = line.trim().split(" ");
            rows.put(f[0], f[1]);
        }
        return rows;
    }

    @Test
    void theClassDeclaresExactlyTheTablesMethodsAndEachBinds() throws IOException {
        Map<String, String> declared = new TreeMap<>();
        List<String> forms = new ArrayList<>();
        for (Method m : Native.class.getDeclaredMethods()) {
            if (!Modifier.isNative(m.getModifiers())) continue;
            declared.put(m.getName(), descriptor(m));
            forms.add(Modifier.isStatic(m.getModifiers()) ? "static" : "instance");
        }
        assertEquals(table(), declared);
        assertEquals(1, forms.stream().distinct().count(), "one form for all methods");

        // Each call binds by the JNI name (an unbound method would throw
        // UnsatisfiedLinkError here) and returns its declared type.
        for (Method m : Native.class.getDeclaredMethods()) {
            if (!Modifier.isNative(m.getModifiers()) || m.getName().equals("reboot")) continue;
            Object[] args = new Object[m.getParameterCount()];
            Arrays.fill(args, "C:\\TEMP");
            call(m.getName(), args);
        }
    }

    @Test
    void foldersOfTheSimulatedMachine() {
        assertEquals("C:\\WINDOWS\\system32", call("getSystemDirectory"));
        assertEquals("C:\\WINDOWS", call("getWindowsDirectory"));
        assertEquals("C:\\PROGRA~1", call("getShortPathName", "C:\\Program Files"));
        assertEquals("", call("getShortPathName", "C:\\Missing"));
        assertEquals("C:\\Documents and Settings\\user\\Start Menu\\Programs\\Startup",
                call("getStartupDir"));
    }

    @Test
    void currentDirectoryMovesForExistingDirectoriesOnly() {
        assertEquals(0, call("chdir", "C:\\TEMP"));
        assertEquals("C:\\TEMP", call("getCurrentDir"));
        assertEquals(0, call("chdir", ".."));
        assertEquals("C:\\", call("getCurrentDir"));
        assertEquals(-1, call("chdir", "C:\\Missing"));
        assertEquals("C:\\", call("getCurrentDir"));
    }

    @Test
    void stringsCrossAsModifiedUtf8() {
        // U+0000 does not end the text: this is not C:\TEMP.
        assertEquals(-1, call("chdir", "C:\\TEMP\u0000x"));
    }

    @Test
    void nullArgumentsGiveTheFailureValue() {
        assertEquals(-1, call("chdir", (Object) null));
        assertEquals("", call("getShortPathName", (Object) null));
    }

    @Test
    void shortcutsAreSavedIntoExistingFoldersAndThenOpen() {
        assertEquals(true, call("createSC", "C:\\TEMP\\app.lnk", "C:\\WINDOWS\\notepad.exe",
                "Notes", "C:\\WINDOWS", "", "", "Minimized"));
        assertEquals(1, call("shellExecute", "C:\\TEMP\\app.lnk"));
        assertEquals(false, call("createSC", "C:\\Missing\\app.lnk", "", "", "", "", "", ""));
        assertEquals(false, call("createSC", null, "", "", "", "", "", ""));
        assertEquals(false, call("createSC", "C:\\TEMP\\x.lnk", "", "", "", "", "", null));
    }

    @Test
    void launchingNeedsAnExistingItemAndTheSimulatedRestartIsRefused() {
        assertEquals(1, call("shellExecute", "C:\\WINDOWS"));
        assertEquals(0, call("shellExecute", "C:\\Missing\\app.exe"));
        assertEquals(0, call("shellExecute", (Object) null));
        assertEquals(0, call("reboot"));  // the host library's machine is simulated
    }

    @Test
    void resultsAreNewStringsEachTime() {
        Object first = call("getWindowsDirectory");
        Object second = call("getWindowsDirectory");
        assertNotNull(first);
        assertEquals(first, second);
        assertFalse(first == second);
        assertTrue(((String) first).startsWith("C:"));
    }

    @Test
    void registryRoundTripOverTheSimulatedRegistry() {
        String key = "Software\\zozudu\\Jvm";
        assertEquals(true, call("setReg", "HKEY_CURRENT_USER", key, "text", "caf\u00e9"));
        assertEquals("caf\u00e9", call("getRegString", "HKEY_CURRENT_USER", key, "text"));
        assertEquals(true, call("setRegDWord", "HKEY_CURRENT_USER", key, "number", "65"));
        assertEquals("A", call("getRegString", "HKEY_CURRENT_USER", key, "number"));
        assertEquals("", call("getRegString", "hkey_current_user", key, "text"));
        assertEquals(false, call("setReg", "HKCU", key, "text", "x"));
        assertEquals(true, call("delReg", "HKEY_CURRENT_USER", key, "text"));
        assertEquals(false, call("delReg", "HKEY_CURRENT_USER", key, "text"));
        assertEquals("", call("getRegString", "HKEY_CURRENT_USER", key, "text"));
        assertEquals(true, call("delReg", "HKEY_CURRENT_USER", key, "number"));
        assertEquals(true, call("delRegKey", "HKEY_CURRENT_USER", key));
        assertEquals(false, call("delRegKey", "HKEY_CURRENT_USER", key));
        assertEquals(false, call("setReg", "HKEY_CURRENT_USER", key, null, "x"));
        assertEquals("", call("getRegString", null, key, "text"));
    }

    @Test
    void desWinAnswersZeroAndChangesNothing() {
        String before = (String) call("getWindowsDirectory");
        assertEquals(0, call("desWin"));
        assertEquals(0, call("desWin"));
        assertEquals(before, call("getWindowsDirectory"));
    }
}
