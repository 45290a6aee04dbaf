"""The skinpack commands as outside checks call them: forms, outputs and failures."""
import os
import pathlib
import struct
import subprocess
import tempfile
import unittest

SKINPACK = os.environ["SKINPACK"]
STREAM = pathlib.Path(os.environ["HARBOR_SKINSTREAM"])
VECTORS = pathlib.Path(os.environ["LZHUF_VECTORS"])
ART = pathlib.Path(os.environ["HARBOR_ART"])


def run(*args):
    return subprocess.run([SKINPACK, *map(str, args)], capture_output=True, timeout=60)


class SkinpackCommands(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.tmp = pathlib.Path(self._tmp.name)

    def tearDown(self):
        self._tmp.cleanup()

    def assertFailedWithOneLine(self, result):
        self.assertEqual(result.returncode, 1, result)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("skinpack: "), lines)

    def test_unpack_decodes_the_vectors(self):
        self.assertTrue(VECTORS.exists(), f"vectors missing at {VECTORS}")
        for name in ["empty", "three_bytes", "spaces10k", "random64k", "text200k"]:
            with self.subTest(name):
                out = self.tmp / name
                self.assertEqual(run("unpack", VECTORS / f"{name}.lzh", out).returncode, 0)
                original = (VECTORS / f"{name}.bin").read_bytes()
                decoded = out.read_bytes()
                self.assertEqual(decoded[: len(original)], original)
                self.assertLess(len(decoded), len(original) + 60)

    def test_list_shows_every_member_with_bitmap_geometry(self):
        result = run("list", STREAM)
        self.assertEqual(result.returncode, 0)
        lines = [line.split("\t") for line in result.stdout.decode().splitlines()]
        self.assertEqual(len(lines), 43)
        self.assertEqual(lines[0], ["f-top.bmp", "56214", "312x60x24"])
        self.assertEqual(lines[22][0], "harbor.ini")
        self.assertEqual(len(lines[22]), 2)
        self.assertEqual(lines[23], ["Window CloseButton1.bmp", "8034", "126x21x24"])
        self.assertEqual(sum(1 for fields in lines if len(fields) == 3), 42)

    def test_cat_finds_members_case_blind(self):
        result = run("cat", STREAM, "HARBOR.INI")
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stdout, (ART / "harbor.ini").read_bytes())
        bmp = run("cat", STREAM, "window closebutton1.bmp")
        self.assertEqual(bmp.stdout[:2], b"BM")
        self.assertEqual(len(bmp.stdout), 8034)

    def test_pack_round_trips_through_list_cat_and_unpack(self):
        members = self.tmp / "members"
        members.mkdir()
        (members / "b.ini").write_bytes(b"[A]\r\nk=v\r\n")
        (members / "a.bin").write_bytes(bytes(range(256)) * 40)
        value = self.tmp / "value"
        self.assertEqual(run("pack", members, value).returncode, 0)
        data = value.read_bytes()
        self.assertEqual(struct.unpack_from("<i", data)[0], len(data) - 4)
        self.assertEqual(run("list", value).stdout.decode().splitlines(), ["a.bin\t10240", "b.ini\t10"])
        self.assertEqual(run("cat", value, "A.BIN").stdout, bytes(range(256)) * 40)
        packed = self.tmp / "packed"
        packed.write_bytes(data[4:])
        unpacked = self.tmp / "unpacked"
        self.assertEqual(run("unpack", packed, unpacked).returncode, 0)
        header = struct.unpack_from("<ii", unpacked.read_bytes())
        self.assertEqual(header, (40000, len("a.bin\r\nb.ini\r\n")))

    def test_bad_input_gives_one_line_and_exit_code_1(self):
        files = {
            "garbage": b"\x10\x00\x00\x00" + b"\xff" * 16,
            "short": b"\x01\x02",
            "negative": b"\xff\xff\xff\xff\x00",
            "past": b"\x00\x10\x00\x00abc",
        }
        for name, content in files.items():
            (self.tmp / name).write_bytes(content)
        t = self.tmp
        for args in [
            ("list", t / "garbage"),
            ("list", t / "short"),
            ("list", t / "past"),
            ("list", t / "missing"),
            ("cat", STREAM, "no-such-member.bmp"),
            ("cat", t / "garbage", "x"),
            ("unpack", t / "short", t / "o"),
            ("unpack", t / "negative", t / "o"),
            ("unpack", t / "missing", t / "o"),
            ("pack", t / "missing", t / "o"),
            ("frobnicate",),
            (),
        ]:
            with self.subTest(args=args):
                self.assertFailedWithOneLine(run(*args))


if __name__ == "__main__":
    unittest.main()
