#!/usr/bin/python3
"""Checks the release that scripts/release.sh put in a folder.

Usage: /usr/bin/python3 tests/release/check_release.py [DIST]   (default: dist)
Each check prints its problems; the last line counts the checks passed and failed.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DLLS = {"win32-x86/zozudu.dll": 0x014C, "win32-x86-64/zozudu.dll": 0x8664}  # PE machine
MANIFEST_ATTRIBUTES = {"Implementation-Title": "zozudu", "Automatic-Module-Name": "qav"}
JAVA_8_MAJOR = 52


def version_of_the_build():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        match = re.search(r"^project\(zozudu VERSION ([0-9.]+)", f.read(), re.M)
    return match.group(1)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def files_below(folder):
    found = set()
    for parent, _, names in os.walk(folder):
        for name in names:
            found.add(os.path.relpath(os.path.join(parent, name), folder).replace(os.sep, "/"))
    return found


def manifest(text):
    """The main section's attributes; a line starting with a space continues the last one."""
    attributes, last = {}, None
    for line in text.replace("\r\n", "\n").split("\n"):
        if line.startswith(" ") and last:
            attributes[last] += line[1:]
        elif ":" in line:
            last, value = line.split(":", 1)
            attributes[last] = value.strip()
        elif not line:
            break
    return attributes


def pe_header(data):
    """Machine, and whether a COFF symbol table is left (an unstripped image)."""
    if data[:2] != b"MZ":
        return None, None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None, None
    # A stripped image may keep the COFF string table, for long section names
    # such as the 32-bit .eh_frame's, but no symbols.
    machine, _, _, _, symbols = struct.unpack_from("<HHIII", data, pe + 4)
    return machine, symbols != 0


def check_files(dist, version, problems):
    expected = {"LICENSE", "SHA256SUMS", "pom.xml", *DLLS,
                "zozudu-%s.jar" % version, "zozudu-%s-sources.jar" % version,
                "zozudu-%s-javadoc.jar" % version}
    found = files_below(dist)
    for name in sorted(expected - found):
        problems.append("missing: " + name)
    for name in sorted(found - expected):
        problems.append("not expected: " + name)


def check_sums(dist, problems):
    listed = {}
    for line in read(os.path.join(dist, "SHA256SUMS")).decode().splitlines():
        match = re.fullmatch(r"([0-9a-f]{64}) [ *](.+)", line)
        if not match:
            problems.append("SHA256SUMS line %r is not '<sha256>  <file>'" % line)
            continue
        listed[match.group(2)] = match.group(1)
    others = files_below(dist) - {"SHA256SUMS"}
    if set(listed) != others:
        problems.append("SHA256SUMS lists %s, the folder has %s" % (sorted(listed), sorted(others)))
    for name, digest in sorted(listed.items()):
        path = os.path.join(dist, name)
        if os.path.isfile(path) and hashlib.sha256(read(path)).hexdigest() != digest:
            problems.append("SHA256SUMS: %s does not match" % name)


def check_dlls(dist, problems):
    for name, machine in DLLS.items():
        actual, unstripped = pe_header(read(os.path.join(dist, name)))
        if actual != machine:
            shown = "0x%X" % actual if actual is not None else "none (not a PE image)"
            problems.append("%s: PE machine %s, not 0x%X" % (name, shown, machine))
        if unstripped:
            problems.append("%s still has a symbol table (not stripped)" % name)


def check_jar(dist, version, license_text, problems):
    jar = zipfile.ZipFile(os.path.join(dist, "zozudu-%s.jar" % version))
    entries = {n for n in jar.namelist() if not n.endswith("/")}
    expected = {"META-INF/MANIFEST.MF", "META-INF/LICENSE",
                "qav/Native.class", "qav/NativeLoader.class", *DLLS}
    if entries != expected:
        problems.append("jar entries %s, not %s" % (sorted(entries), sorted(expected)))
    for name in sorted(n for n in entries if n.endswith(".class")):
        data = jar.read(name)
        major = struct.unpack_from(">H", data, 6)[0]
        if data[:4] != b"\xca\xfe\xba\xbe" or major != JAVA_8_MAJOR:
            problems.append("%s: class-file major version %d, not %d" % (name, major, JAVA_8_MAJOR))
    attributes = manifest(jar.read("META-INF/MANIFEST.MF").decode("utf-8"))
    for key, value in dict(MANIFEST_ATTRIBUTES, **{"Implementation-Version": version}).items():
        if attributes.get(key) != value:
            problems.append("manifest %s is %r, not %r" % (key, attributes.get(key), value))
    for name in DLLS:
        if name in entries and jar.read(name) != read(os.path.join(dist, name)):
            problems.append("the jar's %s differs from dist/%s" % (name, name))
    if "META-INF/LICENSE" in entries and jar.read("META-INF/LICENSE") != license_text:
        problems.append("the jar's META-INF/LICENSE differs from LICENSE")


def check_side_jars(dist, version, license_text, problems):
    sources = zipfile.ZipFile(os.path.join(dist, "zozudu-%s-sources.jar" % version))
    javadoc = zipfile.ZipFile(os.path.join(dist, "zozudu-%s-javadoc.jar" % version))
    for jar, label in ((sources, "sources"), (javadoc, "javadoc")):
        if "META-INF/LICENSE" not in jar.namelist() or jar.read("META-INF/LICENSE") != license_text:
            problems.append("the %s jar lacks META-INF/LICENSE as in LICENSE" % label)
    for name in ("Native.java", "NativeLoader.java"):
        entry = "qav/" + name
        if entry not in sources.namelist():
            problems.append("the sources jar lacks " + entry)
        elif sources.read(entry) != read(os.path.join(ROOT, "java", "qav", name)):
            problems.append("the sources jar's %s differs from java/qav/%s" % (entry, name))
    if "qav/Native.html" not in javadoc.namelist():
        problems.append("the Javadoc jar lacks qav/Native.html")
        return
    page = javadoc.read("qav/Native.html").decode("utf-8")
    with open(os.path.join(ROOT, "bridge", "methods.tsv")) as f:
        methods = [l.split("\t")[0] for l in f if l.strip() and not l.startswith("#")]
    for method in methods:
        if ">%s<" % method not in page and ">%s(" % method not in page:
            problems.append("qav/Native.html does not document " + method)
    if "NativeLoader" in javadoc.namelist() or "qav/NativeLoader.html" in javadoc.namelist():
        problems.append("the Javadoc documents the package-private NativeLoader")


def check_pom(dist, version, problems):
    ns = {"m": "http://maven.apache.org/POM/4.0.0"}
    pom = ET.parse(os.path.join(dist, "pom.xml")).getroot()
    for field, value in (("groupId", "qav"), ("artifactId", "zozudu"), ("version", version),
                         ("packaging", "jar")):
        actual = pom.findtext("m:" + field, namespaces=ns)
        if actual != value:
            problems.append("pom %s is %r, not %r" % (field, actual, value))


def check_maven_install(dist, version, problems):
    """install:install-file into an empty local repository; plugins come from
    Debian's /usr/share/maven-repo, so nothing is fetched from a network."""
    mvn = shutil.which("mvn")
    if not mvn or not os.path.isdir("/usr/share/maven-repo/org/apache/maven/plugins/maven-install-plugin"):
        problems.append("mvn or Debian's maven-install-plugin missing (scripts/install-deps.sh installs them)")
        return
    with tempfile.TemporaryDirectory() as work:
        settings = os.path.join(work, "settings.xml")
        with open(settings, "w") as f:
            f.write("<settings><mirrors><mirror><id>debian</id><mirrorOf>*</mirrorOf>"
                    "<url>file:///usr/share/maven-repo</url></mirror></mirrors></settings>\n")
        repo = os.path.join(work, "repo")
        jar = os.path.join(dist, "zozudu-%s.jar" % version)
        run = subprocess.run(
            [mvn, "-B", "-q", "-s", settings, "-Dmaven.repo.local=" + repo, "install:install-file",
             "-DpomFile=" + os.path.join(dist, "pom.xml"), "-Dfile=" + jar,
             "-Dsources=" + jar.replace(".jar", "-sources.jar"),
             "-Djavadoc=" + jar.replace(".jar", "-javadoc.jar")],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=300)
        if run.returncode != 0:
            problems.append("mvn install:install-file failed:\n" + run.stdout)
            return
        installed = os.path.join(repo, "qav", "zozudu", version)
        for suffix, source in (("", "zozudu-%s.jar"), ("-sources", "zozudu-%s-sources.jar"),
                               ("-javadoc", "zozudu-%s-javadoc.jar")):
            path = os.path.join(installed, "zozudu-%s%s.jar" % (version, suffix))
            if not os.path.isfile(path) or read(path) != read(os.path.join(dist, source % version)):
                problems.append("the local repository lacks %s as released" % path)
        if not os.path.isfile(os.path.join(installed, "zozudu-%s.pom" % version)):
            problems.append("the local repository lacks the pom")


def main():
    dist = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "dist"))
    version = version_of_the_build()
    license_text = read(os.path.join(ROOT, "LICENSE"))
    checks = [
        ("files", lambda p: check_files(dist, version, p)),
        ("SHA256SUMS", lambda p: check_sums(dist, p)),
        ("bare DLLs", lambda p: check_dlls(dist, p)),
        ("class jar", lambda p: check_jar(dist, version, license_text, p)),
        ("sources and Javadoc jars", lambda p: check_side_jars(dist, version, license_text, p)),
        ("pom", lambda p: check_pom(dist, version, p)),
        ("mvn install:install-file", lambda p: check_maven_install(dist, version, p)),
    ]
    passed = failed = 0
    for name, check in checks:
        problems = []
        try:
            check(problems)
        except (OSError, KeyError, zipfile.BadZipFile, ET.ParseError) as e:
            problems.append("%s: %s" % (type(e).__name__, e))
        print("%s %s (version %s)" % ("ok  " if not problems else "FAIL", name, version))
        for problem in problems:
            print("     " + problem)
        passed, failed = (passed + 1, failed) if not problems else (passed, failed + 1)
    print("release: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
