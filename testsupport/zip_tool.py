"""Reads and makes ZIP archives with Python's zipfile, for tests that check what another reader
makes of our archives and feed ours with archives of another writer.

  zip_tool.py list ARCHIVE   one line per entry, in archive order:
                             entry<TAB>NAME<TAB>FLAGS<TAB>METHOD<TAB>SIZE<TAB>SHA256<TAB>EXTATTR
                             NAME percent-escaped UTF-8; then "zip64<TAB>0|1" (a ZIP64 end record)
                             and "test<TAB>ok" or "test<TAB>NAME" (first entry that fails its CRC).
  zip_tool.py make ARCHIVE SPEC  reads a JSON list from the file SPEC: {"name": str, "data": hex, "method":
                             "stored"|"deflated", "raw_name": hex (bytes written as the name, flag
                             clear), "zip64": bool, "folder": bool}
"""
import hashlib
import json
import sys
import zipfile
from urllib.parse import quote


class RawNameInfo(zipfile.ZipInfo):
    """An entry whose name is written as the given bytes, with the UTF-8 flag clear."""
    __slots__ = ("raw",)

    def _encodeFilenameFlags(self):
        return self.raw, self.flag_bits & ~0x800


def list_archive(path):
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            data = b"" if info.is_dir() else z.read(info)
            print("\t".join(["entry", quote(info.filename, safe=""), str(info.flag_bits),
                             str(info.compress_type), str(info.file_size),
                             hashlib.sha256(data).hexdigest(), str(info.external_attr)]))
        with open(path, "rb") as f:
            print("zip64\t" + ("1" if b"PK\x06\x06" in f.read()[-(1 << 16):] else "0"))
        bad = z.testzip()
        print("test\t" + ("ok" if bad is None else quote(bad, safe="")))


def make_archive(path, spec_path):
    with open(spec_path) as f:
        spec = json.load(f)
    with zipfile.ZipFile(path, "w") as z:
        for e in spec:
            method = zipfile.ZIP_STORED if e.get("method") == "stored" else zipfile.ZIP_DEFLATED
            if e.get("folder"):
                z.writestr(zipfile.ZipInfo(e["name"]), b"")
                continue
            if "raw_name" in e:
                info = RawNameInfo(e["raw_name"], date_time=(2020, 5, 17, 10, 30, 0))
                info.raw = bytes.fromhex(e["raw_name"])
            else:
                info = zipfile.ZipInfo(e["name"], date_time=(2020, 5, 17, 10, 30, 0))
            info.compress_type = method
            with z.open(info, "w", force_zip64=bool(e.get("zip64"))) as out:
                out.write(bytes.fromhex(e.get("data", "")))


if sys.argv[1] == "list":
    list_archive(sys.argv[2])
else:
    make_archive(sys.argv[2], sys.argv[3])
