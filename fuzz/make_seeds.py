#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target from the test suite's fixtures and from well-formed
replies of each kind, so the fuzzers start from inputs that reach deep into each parser.
Run from anywhere; rewrites fuzz/corpus/<target>/seed-*. Crash inputs (crash-*) are kept."""
import io
import os
import pathlib
import struct
import zipfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent
CORPUS = HERE / "corpus"


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / f"seed-{name}").write_bytes(data)


def clear_seeds():
    for folder in CORPUS.glob("*"):
        for f in folder.glob("seed-*"):
            f.unlink()


# ---- search reply: filter mode, sequence, 256-byte datagram ----
def search_reply(sequence=0x1234, magic=b"ZRPD", reply_type=2, ident=b"PD-DISPLAY", model=b"P555",
                 series=3, id_char=b"A", versions=(b"R1.100", b"R2.000", b"", b""), main=b"R1.234",
                 features1=0x31, features2=0x100, address2=0x7F000102):
    d = bytearray(256)
    d[0:4] = magic
    struct.pack_into("<H", d, 8, sequence)
    struct.pack_into("<I", d, 16, reply_type)
    struct.pack_into("<I", d, 20, 0x10)
    d[32:32 + len(ident)] = ident
    d[56:62] = bytes([0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E])
    d[96:96 + len(model)] = model
    struct.pack_into("<I", d, 144, features1)
    struct.pack_into("<I", d, 148, features2)
    d[152:153] = id_char
    d[156] = series
    struct.pack_into(">I", d, 168, address2)
    for i, v in enumerate(versions):
        d[180 + i * 9:180 + i * 9 + len(v)] = v
    d[226:226 + len(main)] = main
    return bytes(d)


def seeds_search():
    head = lambda mode: bytes([mode]) + struct.pack("<H", 0x1234)
    write("search_reply", "broadcast", head(0) + search_reply())
    write("search_reply", "unchecked", head(0) + search_reply(reply_type=8, magic=b"ZRPJ"))
    write("search_reply", "mode1", head(1) + search_reply(series=69, id_char=b"*"))
    write("search_reply", "mode2", head(2) + search_reply(series=140, model=b"\x1b[31mRED\x07"))
    write("search_reply", "wrong-sequence", head(0) + search_reply(sequence=0x1235))
    write("search_reply", "short", head(0) + search_reply()[:200])


# ---- control reply: (item index, length, frame) triples ----
ITEMS = ["ModelName", "PowerStatus", "PowerOn", "SerialNumber", "MainFirmware", "SecondAddressCheck",
         "PageLockCheck", "Vcp023E", "AssetTag", "ReadPowerSave", "PowerSaveOff", "PowerSaveAuto",
         "PowerSaveStandby", "FirmwareVersions", "MainFirmwareByIndex", "FirmwareByIndex",
         "RequestUpload", "StartUpdate", "UpdateProgress", "ReadHttpServer", "EnableHttpServer",
         "DisableHttpServer", "ReadPowerSaveMode", "PowerSaveModeOne", "PowerSaveModeNormal", "PowerOff"]


def frame(message_type, body):
    f = bytearray(b"\x01" + b"00*" + message_type + b"%02X" % (len(body) + 2) + b"\x02" + body + b"\x03")
    check = 0
    for b in f[1:]:
        check ^= b
    return bytes(f) + bytes([check]) + b"\x0d"


def hextext(text):
    return text.encode().hex().upper().encode()


def read(item, data):
    return bytes([ITEMS.index(item), len(data)]) + data


def seeds_control():
    replies = [
        read("ModelName", frame(b"B", b"C317" + hextext("P555"))),
        read("PowerStatus", frame(b"B", b"0200D60000040001")),
        read("SerialNumber", frame(b"B", b"C316" + hextext("12345678AB"))),
        read("MainFirmware", frame(b"B", b"C13F" + hextext("R1.234"))),
        read("Vcp023E", frame(b"D", b"00023E0000FF0041")),
        read("AssetTag", frame(b"B", b"C10B" + b"ROOM 12 LEFT")),
        read("AssetTag", frame(b"B", b"C10B" + b"SECOND HALF")),
        read("ReadPowerSave", frame(b"B", b"CB0B0001")),
        read("FirmwareVersions", frame(b"B", b"C13E" + b"".join(hextext(v).ljust(16, b"0") for v in ["R1.1", "R2.0", "R3.0", "R4.0"]))),
        read("MainFirmwareByIndex", frame(b"B", b"CB020000R1.234")),
        read("FirmwareByIndex", frame(b"B", b"CB020001R1.100")),
        read("FirmwareByIndex", frame(b"B", b"CB020104")),
        read("RequestUpload", frame(b"F", b"0013070000010001")),
        read("UpdateProgress", frame(b"D", b"0013060000640032")),
        read("ReadHttpServer", frame(b"D", b"0011F00000020002")),
        read("ReadPowerSaveMode", frame(b"D", b"0011EE0000020001")),
        read("PowerOn", frame(b"B", b"00C203D60001")),
        read("PowerOff", frame(b"B", b"00C203D60004")),
    ]
    write("control_reply", "whole-query", b"".join(replies))
    for i, r in enumerate(replies):
        write("control_reply", f"item-{i:02d}", r)
    be = read("ModelName", frame(b"B", b"BE"))
    unsupported = read("ModelName", frame(b"0", b"00"))
    whole = frame(b"B", b"C317" + hextext("P555"))
    split = bytes([0, 9]) + whole[:9] + bytes([0, len(whole) - 9]) + whole[9:]
    bad_check = read("ModelName", whole[:-2] + bytes([whole[-2] ^ 0x55]) + whole[-1:])
    write("control_reply", "be", be)
    write("control_reply", "type-0", unsupported)
    write("control_reply", "split", split)
    write("control_reply", "bad-check", bad_check)


# ---- address list: limit byte, text ----
def seeds_address():
    for i, text in enumerate([
            "192.168.0.10", "10.0.0.1-10.0.0.20", "10.0.0.1-20", "172.16.5.*",
            "010.000.001.002, 10.0.1.2\n10.0.1.3\t10.0.1.4", "1.2.3.4-1.2.3.4", "a.b.c.d",
            "1.2.3.4-1.2.4.10", "255.255.255.255", "0.0.0.0-0.0.255.255", "1.2.3.٤"]):
        write("address_list", f"{i:02d}", b"\x00" + text.encode())
    write("address_list", "limit-3", b"\x03" + b"1.2.3.1-1.2.3.9")


# ---- catalogue: document, NUL, display fields ----
def seeds_catalogue():
    fixtures = list((ROOT / "tests/catalogue/testdata").glob("*.json"))
    fixtures += list((ROOT / "tests/catalogue/testdata/merge").glob("*.json"))
    fixtures += list((ROOT / "tests/e2e/testdata").glob("*.json"))
    display = b"\x00P555|12345678|R1.000|R1.0|R1.0||||3"
    for f in sorted(fixtures):
        write("catalogue", f.parent.name + "-" + f.stem, f.read_bytes() + display)


# ---- update replies ----
def seeds_update():
    bodies = [b'{"upload":1}', b'{"upload":0}', b'{"upload":2,"paccheck_result":50}',
              b'{"upload":2,"paccheck_result":100,"result_code":100,"result_code":55,"result_code":300}',
              b'{"result_code":204,"result_code":55,"result_code":202,"result_code":300,"result_code":0}',
              b'{"upload": " 2 ", "paccheck_result": "100", "result_code": -3}', b"OK\r\n", b"<html>busy</html>"]
    for i, body in enumerate(bodies):
        for component in (255, 0, 2):
            write("update_reply", f"{i:02d}-{component}", bytes([component]) + body)

    chunked = [b'{"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":100}]}',
               b'{"paccheck_result":"40"}',
               b'{"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":50},]}',
               b'{"paccheck_result":"100","fwcheck_result":[{"result_code":100},{"result_code":500}]} // done',
               b'{"update_sts":[]}', b'{"update_sts":[{"Firmware":2,"result_code":42}]}',
               b'{"update_sts":[{"Firmware":1,"result_code":204}]}',
               b'{"update_sts":[{"Firmware":1, // first\n"result_code":7,},]}',
               b'{"update_sts":[{"Firmware":1,"result_code":1e300}]}']
    for i, body in enumerate(chunked):
        write("chunked_reply", f"{i:02d}", b"\x3f\x00" + body)
        write("chunked_reply", f"{i:02d}-component-1", b"\x03\x02" + body)

    for i, body in enumerate([b"<p>File written successfully</p>", b"Image file writing. Please wait",
                              b"Error", b""]):
        write("legacy_upload", f"{i:02d}", body)


# ---- names and archives ----
def seeds_names():
    for i, loc in enumerate(["http://127.0.0.1/fw/P555_R1.234.zip", "https://h/a/b/../c.bin", "COM1.zip",
                             "x/..", "name. ", "a\\b.zip", "C:evil.zip", "file\u00e9.zip", "/", ""]):
        write("cache_names", f"{i:02d}", loc.encode())


def zip_bytes(members, symlink=None, compression=zipfile.ZIP_DEFLATED):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", compression) as z:
        # A fixed date keeps the seeds byte-identical from one run of this script to the next.
        for name, data in members:
            z.writestr(zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0)), data, compression)
        if symlink:
            info = zipfile.ZipInfo(symlink[0], date_time=(2026, 1, 1, 0, 0, 0))
            info.create_system = 3
            info.external_attr = (0o120777 << 16)
            z.writestr(info, symlink[1])
    return buffer.getvalue()


def seeds_archive():
    names = lambda *n: bytes([len("\n".join(n).encode())]) + "\n".join(n).encode()
    write("package_archive", "two-files", names("fw1.bin", "fw2.bin") + zip_bytes([("fw1.bin", b""), ("fw2.bin", b"")]))
    write("package_archive", "stored", names("fw1.bin") + zip_bytes([("fw1.bin", b"")], compression=zipfile.ZIP_STORED))
    write("package_archive", "wrong-content", names("fw1.bin") + zip_bytes([("fw1.bin", b"not empty")]))
    write("package_archive", "traversal", names("../fw1.bin") + zip_bytes([("../fw1.bin", b"")]))
    write("package_archive", "inner-traversal", names("fw1.bin") + zip_bytes([("../../fw1.bin", b""), ("fw1.bin", b"")]))
    write("package_archive", "symlink", names("fw1.bin") + zip_bytes([], symlink=("fw1.bin", b"/etc/passwd")))
    write("package_archive", "not-zip", names("fw1.bin") + b"PK\x03\x04 not really")
    write("package_archive", "no-names", b"\x00" + zip_bytes([("fw1.bin", b"")]))
    write("package_archive", "package-name", names("package.zip") + zip_bytes([("package.zip", b"")]))


# ---- CSV cells: 0xFF between cells, 0xFE between rows ----
def seeds_csv():
    rows = [["Model", "Serial", "Note"], ["P555", "=1+2", 'say "hi", then\r\ngo'], ["@x", "-3", "\ttab"],
            ["", "", ""], ["日本語", "a,b", "\r"]]
    write("csv_export", "rows", b"\xfe".join(b"\xff".join(c.encode() for c in r) for r in rows))


# ---- information panel: 7 state bytes, then texts separated by 0xFF ----
def seeds_panel():
    hostile = '<a href="http://evil/">x</a><img src="file:///etc/passwd">&amp;'
    texts = ["P555", "12345678", "00-1A-2B-3C-4D-5E", "R1.000", "R1.0", "R2.0", "", "", "Room 12",
             "note", "R1.234", "", "<ol><li>Fixed <b>this</b> <a href='https://example.com/x'>notes</a></li></ol>"]
    for i, states in enumerate([bytes([6, 0, 2, 1, 0, 0, 1]), bytes([4, 1, 1, 0, 6, 9, 2]), bytes([5, 2, 7, 1, 2, 3, 4])]):
        write("info_panel", f"plain-{i}", states + b"\xff".join(t.encode() for t in texts))
        write("info_panel", f"hostile-{i}", states + b"\xff".join(hostile.encode() for _ in texts))
    write("info_panel", "bad-links", bytes([6, 0, 2, 1, 0, 0, 1]) + b"\xff" * 12 +
          b"<a href='file:///etc/passwd'>a</a><a href='javascript:x()'>b</a><img src='http://h/i.png'><img src=':/../x'>")


if __name__ == "__main__":
    clear_seeds()
    seeds_search()
    seeds_control()
    seeds_address()
    seeds_catalogue()
    seeds_update()
    seeds_names()
    seeds_archive()
    seeds_csv()
    seeds_panel()
    for folder in sorted(CORPUS.iterdir()):
        print(f"{folder.name}: {len(list(folder.iterdir()))} inputs")
