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
     * The process's current directory.
     *
     * @return the directory, or the empty string when it needs 99 bytes or
     *         more
     */
    public static native String getCurrentDir();

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
}
