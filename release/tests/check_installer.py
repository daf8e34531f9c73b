#!/usr/bin/env python3
"""Checks the build target's Windows Installer package (scripts/release.sh
makes it) with Wine's msiexec, inside the test environment:
  - a silent per-machine install puts every file in place, byte for byte,
    and registers exactly what regsvr32 on the installed libraries writes,
    key by key and value by value, and nothing for the user;
  - a script and a C++ client create and use both classes;
  - repair puts back a deleted library; installing the same package again
    changes nothing;
  - uninstall removes every file, the folder and every key, and leaves the
    rest of the registry as it was;
  - a per-user install registers the same under the user's classes only;
  - a package of a higher version replaces the installed one, and one of a
    lower version is refused;
  - the other target's package shares no component and no upgrade code with
    this one, so the two install side by side.
The build's own registration (scripts/testenv.sh) is put back at the end.

usage: check_installer.py <source-dir> <build-dir> <x86|x64> <RegistrationFreeProbe.exe>
"""

import filecmp
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "installer"))
import classes_registry  # noqa: E402
import make_installer  # noqa: E402
from classes_registry import added, differences, relative, without_bare_parents, without_empty_leaves  # noqa: E402

MACHINE = "HKEY_LOCAL_MACHINE\\Software\\Classes"
USER = "HKEY_CURRENT_USER\\Software\\Classes"
UNINSTALL = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
INSTALL_FOLDER = ("Program Files", "Quennet and Vanterbox")
PROGIDS = ("Quennet.QuennetCtl", "Vanterbox.qzMixerVolume")


class Check:
    def __init__(self, source, build, target, probe):
        self.source, self.build, self.target, self.probe = source, build, target, probe
        self.wine = classes_registry.Wine()
        self.package = os.path.join(source, "dist", "release", f"ComponentSuite-{target}.msi")
        self.stage = os.path.join(build, "..", "release", f"ComponentSuite-{target}")
        self.work = os.path.join(build, "installer-check")
        self.failures = 0

    def fail(self, text):
        print(f"FAIL: {text}")
        self.failures += 1

    def expect_same(self, what, expected, actual):
        lines = differences(expected, actual)
        if lines:
            self.fail(f"{what}:\n  " + "\n  ".join(lines[:40]))

    # The registry and the installation.
    def classes(self, root):
        """The classes below root, without Windows Installer's own records of
        the installed products (Installer\\...), which live there too."""
        return {path: key for path, key in relative(self.wine.export(root), root).items()
                if not (path + "\\").startswith("installer\\")}

    def msiexec(self, option, *properties, package=None):
        """msiexec's exit status for one silent run on the package."""
        return self.wine.run("msiexec", option, self.wine.windows_path(package or self.package),
                             *properties, "/qn", check=False).returncode

    def install_folder(self):
        return self.wine.drive_c(*INSTALL_FOLDER)

    def packaged_files(self):
        return sorted(name for name in os.listdir(self.stage)
                      if not name.lower().endswith(make_installer.LEFT_OUT_SUFFIXES))

    def installed(self):
        """The uninstall entries of every installed package of this target."""
        name = f"Quennet and Vanterbox ({self.target})"
        return [key for key in self.wine.export(UNINSTALL).values()
                if key.values.get("displayname", ("", ""))[1] == name]

    def installed_products(self):
        """DisplayVersion of every installed package of this target."""
        return sorted(key.values["displayversion"][1] for key in self.installed())

    def remove_leftovers(self):
        """Packages a run that was interrupted left installed, removed by
        their product codes (the entries' names)."""
        for key in self.installed():
            product = key.path.rsplit("\\", 1)[1]
            self.wine.run("msiexec", "/x", product, "/qn", check=False)

    def set_registration(self, register, servers):
        for server in servers:
            for scope in ((), ("/n", "/i:user")):
                self.wine.run("regsvr32", "/s", *([] if register else ["/u"]), *scope,
                              self.wine.windows_path(server), check=register and not scope)

    def deliverables(self):
        with open(os.path.join(self.build, "com_servers.txt")) as listing:
            return [line.strip() for line in listing
                    if os.path.basename(line.strip()) in ("Quennet.ocx", "Vanterbox.dll")]

    # The checks.
    def check_files_installed(self):
        folder = self.install_folder()
        if not os.path.isdir(folder):
            self.fail(f"nothing installed in {folder}")
            return
        if sorted(os.listdir(folder)) != self.packaged_files():
            self.fail(f"installed {sorted(os.listdir(folder))}, expected {self.packaged_files()}")
        for name in self.packaged_files():
            installed = os.path.join(folder, name)
            if os.path.exists(installed) and not filecmp.cmp(installed, os.path.join(self.stage, name),
                                                             shallow=False):
                self.fail(f"the installed {name} is not the packaged one")

    def check_clients(self):
        readme = os.path.join(self.install_folder(), "README.md")
        for fence, extension in (("```vbscript", "vbs"), ("```js", "js")):
            script = os.path.join(self.work, f"example.{extension}")
            with open(readme, encoding="utf-8") as text, open(script, "w") as out:
                out.write(readme_example(text.read(), fence))
            result = self.wine.run("cscript", "//nologo", self.wine.windows_path(script), check=False)
            if result.returncode != 0 or "Bye Bye" not in result.stdout:
                self.fail(f"the README's {extension} example printed: {result.stdout}{result.stderr}")
        for progid in PROGIDS:
            result = self.wine.run(self.probe, "-", progid, check=False)
            if result.returncode != 0:
                self.fail(f"a C++ client did not create {progid}: {result.stdout}")

    def check_repair(self, expected_machine):
        library = os.path.join(self.install_folder(), "Quennet.ocx")
        os.remove(library)
        # Wine's msiexec does nothing for /f; the properties behind it repair.
        if self.msiexec("/i", "REINSTALL=ALL", "REINSTALLMODE=amus") != 0 or not os.path.exists(library):
            self.fail("repair did not put back Quennet.ocx")
        self.check_files_installed()
        self.expect_same("the registry after repair", expected_machine, self.classes(MACHINE))

    def check_machine_install(self, base_machine, base_user):
        if self.msiexec("/i") != 0:
            self.fail("msiexec /i ended with an error")
            return None
        self.check_files_installed()
        installed = self.classes(MACHINE)
        self.expect_same("a per-machine install's keys under the user's classes", {},
                         added(base_user, self.classes(USER)))
        self.check_clients()
        self.check_repair(installed)
        if self.msiexec("/i") != 0 or self.installed_products() != [self.version()]:
            self.fail(f"installing again: installed {self.installed_products()}")
        self.expect_same("the registry after installing again", installed, self.classes(MACHINE))
        return added(base_machine, installed)

    def check_uninstall(self, base_machine, base_user, *options, package=None):
        if self.msiexec("/x", *options, package=package) != 0:
            self.fail(f"msiexec /x {' '.join(options)} ended with an error")
        if os.path.exists(self.install_folder()):
            self.fail(f"uninstall left {self.install_folder()}: {os.listdir(self.install_folder())}")
        for what, base, root in (("machine", base_machine, MACHINE), ("user", base_user, USER)):
            self.expect_same(f"the {what}'s classes after uninstall", without_empty_leaves(base),
                             without_empty_leaves(self.classes(root)))

    def check_same_as_regsvr32(self, base_machine, packaged):
        """regsvr32 on the files where the package puts them writes the same."""
        folder = self.install_folder()
        os.makedirs(folder)
        libraries = []
        for name in self.packaged_files():
            shutil.copy(os.path.join(self.stage, name), folder)
            if name.lower().endswith(make_installer.LIBRARY_SUFFIXES):
                libraries.append(os.path.join(folder, name))
        self.set_registration(True, libraries)
        registered = added(base_machine, self.classes(MACHINE))
        self.set_registration(False, libraries)
        shutil.rmtree(folder)
        # The installer writes a folder with its trailing backslash, regsvr32
        # without: the one difference allowed.
        for key in registered.values():
            if "helpdir" in key.path.lower():
                name, value = key.values[""]
                key.values[""] = (name, value + "\\")
        self.expect_same("the package's keys against regsvr32's", registered, packaged)

    def check_per_user(self, base_machine, base_user, packaged):
        status = self.msiexec("/i", 'ALLUSERS=""')
        if status != 0:
            self.fail(f"a per-user msiexec /i ended with {status}")
            return
        self.expect_same("a per-user install's keys under the user's classes",
                         without_bare_parents(packaged),
                         without_bare_parents(added(base_user, self.classes(USER))))
        self.expect_same("a per-user install's keys under the machine's classes", base_machine,
                         self.classes(MACHINE))
        self.check_uninstall(base_machine, base_user, 'ALLUSERS=""')

    def check_upgrade(self, base_machine, base_user, packaged):
        major, minor, patch = self.version().split(".")
        newer_version = f"{major}.{minor}.{int(patch) + 1}"
        newer = os.path.join(self.work, "newer.msi")
        fragments = [os.path.join(self.build, "..", "release", f"installer-{self.target}",
                                  f"ComponentSuite-{self.target}-{part}.wxs")
                     for part in ("libraries", "files")]
        make_installer.build_package(self.target, self.stage, newer_version, fragments, newer)
        if self.msiexec("/i") != 0 or self.msiexec("/i", package=newer) != 0:
            self.fail("installing the older package, then the newer one, ended with an error")
        if self.installed_products() != [newer_version]:
            self.fail(f"after an upgrade to {newer_version} installed: {self.installed_products()}")
        self.expect_same("the registry after an upgrade", packaged,
                         added(base_machine, self.classes(MACHINE)))
        self.check_files_installed()
        if self.msiexec("/i") == 0:
            self.fail("the older package installed over the newer one")
        if self.installed_products() != [newer_version]:
            self.fail(f"after refusing the older package installed: {self.installed_products()}")
        self.check_uninstall(base_machine, base_user, package=newer)

    def check_side_by_side(self):
        other = {"x86": "x64", "x64": "x86"}[self.target]
        other_package = os.path.join(os.path.dirname(self.package), f"ComponentSuite-{other}.msi")
        if not os.path.exists(other_package) and other == "x86" and subprocess.run(
                [os.path.join(self.source, "scripts", "i386root.sh"), "probe"]).returncode != 0:
            print("side by side: NOT CHECKED, this kernel runs no 32-bit code to make the x86 package")
            return
        if not os.path.exists(other_package):
            self.fail(f"{other_package} is missing (scripts/release.sh makes both)")
            return
        mine, theirs = table(self.package, "Component", 1), table(other_package, "Component", 1)
        if set(mine) & set(theirs):
            self.fail(f"components shared with the {other} package: {set(mine) & set(theirs)}")
        upgrade = table(self.package, "Property", 1, key="UpgradeCode")
        if upgrade == table(other_package, "Property", 1, key="UpgradeCode"):
            self.fail(f"the {other} package has the same upgrade code {upgrade}")

    def version(self):
        return table(self.package, "Property", 1, key="ProductVersion")[0]

    def run(self):
        if not os.path.exists(self.package):
            self.fail(f"{self.package} is missing (scripts/release.sh makes it)")
            return 1
        deliverables = self.deliverables()
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        try:
            self.remove_leftovers()
            self.set_registration(False, deliverables)
            base_machine, base_user = self.classes(MACHINE), self.classes(USER)
            packaged = self.check_machine_install(base_machine, base_user)
            self.check_uninstall(base_machine, base_user)
            if packaged is not None:
                self.check_same_as_regsvr32(base_machine, packaged)
                self.check_per_user(base_machine, base_user, packaged)
                self.check_upgrade(base_machine, base_user, packaged)
            self.check_side_by_side()
        finally:
            self.set_registration(True, deliverables)
        if self.failures == 0:
            print(f"installer {self.target}: all checks passed")
        return 1 if self.failures else 0


def readme_example(readme, fence):
    """The first code block under the README's "Examples" heading that opens
    with the fence."""
    lines = readme[readme.index("\n## Examples\n"):].splitlines()
    start = lines.index(fence) + 1
    return "\n".join(lines[start:lines.index("```", start)]) + "\n"


def table(package, name, column, key=None):
    """A column of a package's table (msiinfo export); with key, the rows
    whose first column is key."""
    rows = subprocess.run(["msiinfo", "export", package, name], capture_output=True, text=True,
                          check=True).stdout.splitlines()[3:]
    cells = [row.split("\t") for row in rows]
    return [cell[column] for cell in cells if key is None or cell[0] == key]


if __name__ == "__main__":
    if len(sys.argv) != 5:
        raise SystemExit(__doc__.split("usage: ")[1])
    sys.exit(Check(*sys.argv[1:]).run())
