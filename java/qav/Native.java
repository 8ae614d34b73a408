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
 *
 * <p>The first use of the class loads the library from the first of these
 * places that has it: a {@code zozudu} library on {@code java.library.path}
 * (or beside the program); the file that the system property
 * {@code zozudu.library.path} names; the DLL that the jar carries for the
 * running JVM ({@code win32-x86/zozudu.dll} or
 * {@code win32-x86-64/zozudu.dll}), copied once into
 * {@code %LOCALAPPDATA%\zozudu\<sha256>\zozudu.dll} (or below
 * {@code java.io.tmpdir} where that folder cannot be written). When none
 * serves, the class fails to initialise with an
 * {@link UnsatisfiedLinkError} that names each place tried and why it
 * failed.
 */
public final class Native {
    static {
        NativeLoader.load();
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
     * The processor's clock rate, measured by counting its cycles over one
     * second of the system's performance counter. The calling thread spins
     * for a little more than that second on every call; nothing is cached.
     *
     * @return the rate in whole MHz (the fraction is dropped), or 0 when the
     *         system's performance counter reports no frequency, stops or
     *         runs backwards, or the processor's cycle count reads lower at
     *         the end than at the start
     */
    public static native float getCPUSpeed();

    /**
     * The identifier text of the first processor, as the registry's
     * "Identifier" value of processor 0 holds it (for example
     * "x86 Family 6 Model 15 Stepping 11"); not the vendor's name. The key
     * is opened with full access, so an account that may only read it gets
     * the empty string.
     *
     * @return the text, or the empty string when the key cannot be opened
     *         with full access or the value is missing or longer than 255
     *         bytes with its NUL
     */
    public static native String getCPUVendor();

    /**
     * The number of colour bits per pixel of the screen.
     *
     * @return the bits, or 0 when no device context for the screen can be had
     */
    public static native int getColorBits();

    /**
     * The computer's name.
     *
     * @return the name (at most 15 characters), or null when the system
     *         refuses it
     */
    public static native String getComputerName();

    /**
     * The process's current directory.
     *
     * @return the directory (at most 98 bytes), or the empty string when it
     *         is 99 bytes long or longer
     */
    public static native String getCurrentDir();

    /**
     * The free space of a volume: all its free bytes, also those that disk
     * quotas keep from this user, divided by 1000 (not 1024).
     *
     * @param directory a directory on the volume; a drive root will do
     * @return the free space in thousands of bytes, or -1 when the system
     *         cannot tell (no such directory, no medium in the drive) or the
     *         directory is null
     */
    public static native long getDiskFreeSpace(String directory);

    /**
     * The kind of a drive, as a label: "Unknown", "No Root Directory",
     * "Floppy/Removable", "Hard Disk", "Network Drive", "CD-ROM Drive" or
     * "RAM Disk".
     *
     * @param root the drive's root, as "C:\"
     * @return the label; "No Root Directory" also for a null root; null
     *         when the root could not be borrowed for lack of memory, with
     *         the JVM's OutOfMemoryError pending
     */
    public static native String getDriveType(String root);

    /**
     * The root of the first fixed or CD-ROM drive, in drive-letter order,
     * whose root directory holds an entry "MSDOS.SYS" (hidden and system
     * files count). Each root is searched by the file's full path, so the
     * process's current directory never moves, not even during the scan;
     * other kinds of drive are never examined, and a root that cannot be
     * entered (no medium) is passed over.
     *
     * @return the root, as "C:\", or null when no drive qualifies
     */
    public static native String getFirstBootableDrive();

    /**
     * The next drive root of an enumeration that the whole process shares:
     * successive calls return each present drive's root in letter order,
     * then the empty string, after which the next call starts again with a
     * fresh list of the drives. A caller that stops early leaves the
     * enumeration where it is, for the next call from anyone; concurrent
     * callers each take one step of the same enumeration.
     *
     * @return the next root, as "C:\"; the empty string at the end of the
     *         list; null when the drive list cannot be read (the next call
     *         tries again)
     */
    public static native String getLogicalDriveStrings();

    /**
     * The present drives as a bit mask: bit 0 for A, bit 1 for B, up to bit
     * 25 for Z.
     *
     * @return the mask, or 0 when the system cannot tell
     */
    public static native int getLogicalDrives();

    /**
     * The height of the last display mode that the display driver lists,
     * which need not be the tallest one.
     *
     * @return the height in pixels, or 0 when the display offers no mode
     */
    public static native int getMaxScreenHeight();

    /**
     * The width of the last display mode that the display driver lists,
     * which need not be the widest one.
     *
     * @return the width in pixels, or 0 when the display offers no mode
     */
    public static native int getMaxScreenWidth();

    /**
     * The total physical memory, as a 32-bit count of bytes that a 32-bit
     * program is told: 2 GiB and more read negative (as unsigned, use
     * {@code Integer.toUnsignedLong}), and a count beyond 32 bits gives -1.
     *
     * @return the count of bytes, bit for bit
     */
    public static native int getRAM();

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
     *         more than 99 bytes, or an argument is null; null when an
     *         argument could not be borrowed for lack of memory, with the
     *         JVM's OutOfMemoryError pending
     */
    public static native String getRegString(String root, String subKey, String valueName);

    /**
     * The width of the primary screen.
     *
     * @return the width in pixels, or 0 when the system cannot tell
     */
    public static native int getScreenX();

    /**
     * The height of the primary screen.
     *
     * @return the height in pixels, or 0 when the system cannot tell
     */
    public static native int getScreenY();

    /**
     * The short (8.3) form of a path.
     *
     * @param path an existing file or directory
     * @return its short form, or the empty string when the path does not
     *         exist, the short form needs more than 260 bytes, or the path is
     *         null; null when the path could not be borrowed for lack of
     *         memory, with the JVM's OutOfMemoryError pending
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
     * Whether a drive is a fixed disk.
     *
     * @param root the drive's root, as "C:\"
     * @return true for a fixed disk only; false for removable, CD-ROM,
     *         network and RAM drives, a root that does not exist, and a null
     *         root
     */
    public static native boolean isHD(String root);

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
}
