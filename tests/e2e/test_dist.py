"""The installation folder, its zip and the installer, as scripts/make_dist.sh leaves them."""

import os
import unittest
import zipfile

import winedesk as wd

DIST = os.environ.get("KOVRAL_DIST", "")
SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

# Offsets in config.bin: the flag byte, then the record.
FLAG = 0
MODE_A = 1
EDITED_MODE = 1 + 1704
MODE_B = 1 + 1705
DPI_ACTION_A = 1 + 1833
DPI_ACTION_B = 1 + 1841

# The factory assignment of both layers: left, right, middle, forward,
# backward, DPI switch (as "DPI Loop"), key off, key off.
FACTORY_FUNCTIONS = bytes([0, 1, 2, 3, 4, 6, 15, 15])
DPI_LOOP = 3


class Installation(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        if not DIST or not os.path.isdir(DIST):
            raise unittest.SkipTest("KOVRAL_DIST does not name an installation folder (run scripts/e2e.sh)")

    def files(self):
        found = set()
        for base, _, names in os.walk(DIST):
            for name in names:
                found.add(os.path.relpath(os.path.join(base, name), DIST).replace(os.sep, "/"))
        return found

    def test_folder_holds_the_program_its_files_and_the_skin_pictures(self):
        expected = {"KALVORIN_DRX_Driver.exe", "config.bin", "str.ini"}
        skins = os.path.join(SOURCE, "Skins")
        for skin in os.listdir(skins):
            if os.path.exists(os.path.join(skins, skin, "main.png")):
                expected |= {f"Skins/{skin}/{n}" for n in os.listdir(os.path.join(skins, skin)) if n.endswith(".png")}
        self.assertIn("Skins/Default/main.png", expected)
        self.assertEqual(self.files(), expected)
        with open(os.path.join(DIST, "KALVORIN_DRX_Driver.exe"), "rb") as f:
            self.assertEqual(f.read(2), b"MZ")

    def test_every_picture_comes_with_its_1_5x_and_2x_pictures(self):
        # A skin carries "name@1.5x.png" and "name@2x.png" beside each
        # "name.png"; the program picks among them by the display's scale.
        files = self.files()
        for skin in ("Default", "Ember"):
            unit = sorted(n for n in files if n.startswith(f"Skins/{skin}/") and "@" not in n)
            # 33 every skin must hold, 3 of the Profiles dialog and 1 of the
            # Preferences dialog that the bundled ones carry.
            self.assertEqual(len(unit), 37, skin)
            for name in ("profiles", "profiles-button-normal", "profiles-button-over", "preferences"):
                self.assertIn(f"Skins/{skin}/{name}.png", unit)
            for name in unit:
                stem = name[:-len(".png")]
                for suffix in ("@1.5x", "@2x"):
                    self.assertIn(stem + suffix + ".png", files)
            self.assertEqual(len([n for n in files if n.startswith(f"Skins/{skin}/")]), 3 * len(unit), skin)
        with open(os.path.join(DIST, "Skins", "Default", "main@2x.png"), "rb") as f:
            header = f.read(24)
        self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual((int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")), (1760, 1300))

    def test_zip_unpacks_to_the_folder(self):
        archive = os.path.join(os.path.dirname(DIST), "Kovral.zip")
        with zipfile.ZipFile(archive) as z:
            names = {n for n in z.namelist() if not n.endswith("/")}
            self.assertEqual(names, self.files())
            for name in ("config.bin", "str.ini", "Skins/Default/main.png", "Skins/Ember/main@1.5x.png"):
                with open(os.path.join(DIST, name), "rb") as f:
                    self.assertEqual(z.read(name), f.read(), name)

    def test_setup_is_a_64_bit_windows_program(self):
        # Only the 64-bit half of Wine is installed here, as the program is
        # 64-bit itself; a 32-bit installer would fail to start.
        with open(os.path.join(os.path.dirname(DIST), "Kovral-setup.exe"), "rb") as f:
            data = f.read(4096)
        self.assertEqual(data[:2], b"MZ")
        pe = int.from_bytes(data[0x3C:0x40], "little")
        self.assertEqual(data[pe:pe + 4], b"PE\0\0")
        self.assertEqual(int.from_bytes(data[pe + 4:pe + 6], "little"), 0x8664, "not an x86-64 executable")

    def test_str_ini_is_utf16_and_selects_the_default_skin_in_white(self):
        with open(os.path.join(DIST, "str.ini"), "rb") as f:
            self.assertEqual(f.read(2), b"\xff\xfe", "no UTF-16LE byte-order mark")
        skins = wd.read_utf16_ini(os.path.join(DIST, "str.ini"))["Skins"]
        self.assertEqual(skins["Path"], "Default")
        self.assertEqual((skins["RColor"], skins["GColor"], skins["BColor"]), ("255", "255", "255"))
        self.assertEqual(skins.get("Lan"), "SYS")

    def test_config_bin_is_a_factory_record_never_saved(self):
        with open(os.path.join(DIST, "config.bin"), "rb") as f:
            data = f.read()
        self.assertEqual(len(data), 1850)
        self.assertEqual(data[FLAG], 0)
        self.assertEqual(data[MODE_A:MODE_A + 8], FACTORY_FUNCTIONS)
        self.assertEqual(data[MODE_B:MODE_B + 8], FACTORY_FUNCTIONS)
        self.assertEqual(data[DPI_ACTION_A + 5], DPI_LOOP)
        self.assertEqual(data[DPI_ACTION_B + 5], DPI_LOOP)
        self.assertEqual(data[EDITED_MODE], 0)


if __name__ == "__main__":
    unittest.main()
