package qav;

/**
 * Windows services that the Java platform lacks, answered by the native
 * library zozudu ({@code zozudu.dll} on Windows).
 *
 * <p>Every failure is reported in the return value (false, -1, 0, an empty
 * string or null, as each method says); no method throws. Text arguments
 * reach the Windows ANSI functions as their modified UTF-8 bytes, and text
 * results are the system's ANSI bytes read as modified UTF-8, except where a
 * method says otherwise.
 */
public final class Native {
    static {
        System.loadLibrary("zozudu");
    }

    private Native() {
    }

    /**
     * Changes the process's current directory, for every thread.
     *
     * @param path the new directory, absolute or relative to the current one
     * @return 0 when the directory was changed, -1 when not (no such
     *         directory, no access, or a null path)
     */
    public static native int chdir(String path);

    /**
     * Writes a Windows shortcut file. The link path is narrowed with the
     * native runtime's current locale (the "C" locale until
     * {@link #getStartupDir} switches it), so characters it cannot represent
     * are left out of the file name; a U+0000 ends it.
     *
     * @param linkPath the shortcut file to write
     * @param targetPath the file the shortcut points to
     * @param description the shortcut's description
     * @param workingDir the directory the target starts in
     * @param arguments the target's command-line arguments
     * @param iconPath the icon's file, used with index 0; empty for none
     * @param showState exactly "Minimized" for a minimized window, anything
     *        else for a normal one
     * @return true when the file was saved; false when it was not, for a
     *         link path longer than a Windows path, or a null argument
     */
    public static native boolean createSC(String linkPath, String targetPath, String description,
            String workingDir, String arguments, String iconPath, String showState);

    /**
     * Deletes a registry value.
     *
     * @param root one of "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
     *        "HKEY_USERS", "HKEY_CLASSES_ROOT", exactly
     * @param subKey the key's path below the root key
     * @param valueName the value; the empty string names the key's default
     *        value
     * @return true when the value was deleted and the key closed; false
     *         otherwise (unknown root name, no such key or value, no access,
     *         a null argument)
     */
    public static native boolean delReg(String root, String subKey, String valueName);

    /**
     * Deletes a registry key that has no sub-keys of its own.
     *
     * @param root one of the four root-key names, exactly
     * @param subKey the key's path below the root key
     * @return true when the key was deleted; false otherwise (unknown root
     *         name, no such key, sub-keys present, a null argument)
     */
    public static native boolean delRegKey(String root, String subKey);

    /**
     * Runs the native application object's exit step, which does no work.
     * Nothing changes: every method works after it as before.
     *
     * @return the exit code, always 0
     */
    public static native int desWin();

    /**
     * The process's current directory.
     *
     * @return the directory, or the empty string when it needs 99 bytes or
     *         more
     */
    public static native String getCurrentDir();

    /**
     * A registry value read as text, whatever its type: a text value's
     * text (an expandable one not expanded), a multi-text value's first
     * text, a number's bytes up to its first zero byte.
     *
     * @param root one of "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
     *        "HKEY_USERS", "HKEY_CLASSES_ROOT", exactly
     * @param subKey the key's path below the root key, which is opened with
     *        full access
     * @param valueName the value; the empty string names the key's default
     *        value
     * @return the text, or the empty string when the root name is unknown,
     *         the key cannot be opened, the value is missing, its data needs
     *         more than 99 bytes, or an argument is null
     */
    public static native String getRegString(String root, String subKey, String valueName);

    /**
     * The short (8.3) form of a path.
     *
     * @param path an existing file or directory
     * @return its short form, or the empty string when the path does not
     *         exist, the short form needs more than 260 bytes, or the path is
     *         null
     */
    public static native String getShortPathName(String path);

    /**
     * The current user's Startup folder, as the registry's Shell Folders key
     * names it, converted from the user's code page. The first call that
     * reaches the conversion switches the native runtime to the user's
     * default locale for the rest of the process.
     *
     * @return the folder, or the empty string when the key or its value
     *         cannot be read
     */
    public static native String getStartupDir();

    /**
     * The Windows system folder.
     *
     * @return the folder, or the empty string when the system cannot say
     */
    public static native String getSystemDirectory();

    /**
     * The Windows folder.
     *
     * @return the folder, or the empty string when the system cannot say
     */
    public static native String getWindowsDirectory();

    /**
     * Forces an immediate restart of the machine, ending every program
     * without asking. No privilege is requested first.
     *
     * @return the system's answer: nonzero when the restart was accepted, 0
     *         when it was refused (for example without the shutdown
     *         privilege enabled)
     */
    public static native int reboot();

    /**
     * Opens a document, program or folder with the application the shell
     * associates with it, in the process's current directory. The whole
     * text names the item: no part of it is passed as arguments.
     *
     * @param path the item to open
     * @return 1 when the shell accepted the request, 0 when not (no such
     *         item, no associated application, or a null path)
     */
    public static native int shellExecute(String path);

    /**
     * Writes a text (REG_SZ) registry value, creating the key and every
     * missing key on its path.
     *
     * @param root one of the four root-key names, exactly
     * @param subKey the key's path below the root key
     * @param valueName the value; the empty string names the key's default
     *        value
     * @param value the text, stored as its modified UTF-8 bytes and a NUL
     * @return true when the value was written and the key closed; false
     *         otherwise (unknown root name, no access, a null argument)
     */
    public static native boolean setReg(String root, String subKey, String valueName, String value);

    /**
     * Writes a 32-bit number (REG_DWORD) registry value given as decimal
     * text, creating the key and every missing key on its path. The text is
     * read as the Windows runtime's strtoul reads it: leading white space,
     * one sign, digits up to the first other character; no digits give 0,
     * a number above 4294967295 gives 4294967295, and a negative number is
     * taken modulo 2^32 (-1 gives 4294967295).
     *
     * @param root one of the four root-key names, exactly
     * @param subKey the key's path below the root key
     * @param valueName the value; the empty string names the key's default
     *        value
     * @param value the number as decimal text
     * @return true when the value was written and the key closed; false
     *         otherwise (unknown root name, no access, a null argument)
     */
    public static native boolean setRegDWord(String root, String subKey, String valueName,
            String value);
}
