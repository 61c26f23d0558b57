#!/usr/bin/python3
"""Writes the sample workbooks in tests/data/readers, the way each was made: one saved by
LibreOffice Calc from a CSV file, one by the openpyxl library, one written by hand with what
Excel writes (rich text, phonetic runs, inline strings, formulas, a first sheet stored last),
and the hostile ones the reader must refuse. Run by hand when a sample changes (it needs
python3-openpyxl and libreoffice-calc-nogui); the build and the tests only read its output.
Usage: tests/data/make_workbooks.py"""
import os
import shutil
import struct
import subprocess
import tempfile
import zipfile
import zlib

import openpyxl

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "readers")
RELATION = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
</Types>"""


def path(name):
    return os.path.join(HERE, name)


def libreoffice_export():
    """Calc's own export of a CSV file: shared strings, numbers as numbers."""
    rows = ["姓名,手机,单位,备注", "张伟,13800138000,财务部,年会负责人", "王芳,13912345678,,",
            "李娜,010-62345678,人事部,\"分机 8021, 周一不在\"", "赵六,+86 186 0000 1111,,老同学"]
    with tempfile.TemporaryDirectory() as folder:
        csv = os.path.join(folder, "通讯录.csv")
        with open(csv, "w", encoding="utf-8") as out:
            out.write("\n".join(rows) + "\n")
        subprocess.run(["soffice", "--headless", "--infilter=CSV:44,34,76,1", "--convert-to", "xlsx",
                        "--outdir", folder, csv], check=True, capture_output=True)
        shutil.copy(os.path.join(folder, "通讯录.xlsx"), path("xlsx-saved-by-libreoffice.xlsx"))
        subprocess.run(["soffice", "--headless", "--infilter=CSV:44,34,76,1", "--convert-to", "xls",
                        "--outdir", folder, csv], check=True, capture_output=True)
        shutil.copy(os.path.join(folder, "通讯录.xls"), path("xlsx-an-old-excel-97-workbook.xls"))


def openpyxl_export():
    """The Python library's: inline strings, a gap of a row and cells far to the right."""
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "员工名单"
    sheet.append(["姓名", "电话", "部门"])
    sheet.append(["陈静", 13800990011, "销售部"])
    sheet.append(["刘洋", 1.5000001234e10, None])
    sheet["A5"] = "周杰"
    sheet["B5"] = "+86-138-0000-0000"
    sheet["F5"] = "不导入的列"
    book.create_sheet("第二页").append(["不读", "第二页"])
    book.save(path("xlsx-saved-by-openpyxl.xlsx"))


def write_zip(name, parts, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path(name), "w", method) as archive:
        for part, text in parts:
            archive.writestr(part, text.encode("utf-8") if isinstance(text, str) else text)


def package(sheets, strings=None, order=None):
    """A workbook whose <sheets> list sheets (name, part, xml) in order; stored in order."""
    relations = "".join('<Relationship Id="rId%d" Type="%s/worksheet" Target="worksheets/%s"/>'
                        % (i + 1, RELATION, part) for i, (_, part, _) in enumerate(sheets))
    if strings is not None:
        relations += '<Relationship Id="rIdS" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % RELATION
    listed = "".join('<x:sheet name="%s" sheetId="%d" r:id="rId%d"/>' % (name, i + 1, i + 1)
                     for i, (name, _, _) in enumerate(sheets))
    parts = [("[Content_Types].xml", TYPES),
             ("_rels/.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
              '<Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % RELATION),
             ("xl/workbook.xml", '<x:workbook xmlns:x="%s" xmlns:r="%s"><x:sheets>%s</x:sheets></x:workbook>'
              % (MAIN, RELATION, listed)),
             ("xl/_rels/workbook.xml.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/'
              '2006/relationships">%s</Relationships>' % relations)]
    if strings is not None:
        parts.append(("xl/sharedStrings.xml", '<sst xmlns="%s" count="%d">%s</sst>' % (MAIN, len(strings), "".join(strings))))
    stored = [("xl/worksheets/" + part, xml) for _, part, xml in sheets]
    return parts + (list(reversed(stored)) if order == "reversed" else stored)


def sheet(rows):
    return '<worksheet xmlns="%s"><sheetData>%s</sheetData></worksheet>' % (MAIN, rows)


def handwritten():
    """What Excel writes, by hand: the first sheet in the workbook's order stored after the
    other; shared strings with rich-text runs and a phonetic run Excel adds to Chinese names;
    an inline string; a formula's cached value; numbers in exponent form; a boolean;
    entities, character references and Excel's _xHHHH_ escape; a character GBK lacks; cells
    placed by reference with gaps."""
    strings = ['<si><t>姓名</t></si>', '<si><t xml:space="preserve">手机号码</t></si>', '<si><t>备注</t></si>',
               '<si><r><rPr><b/></rPr><t>欧阳</t></r><r><t>修文</t></r>'
               '<rPh sb="0" eb="2"><t>オウヨウ</t></rPh><phoneticPr fontId="1"/></si>',
               '<si><t>A&amp;B 公司 &lt;总部&gt;</t></si>', '<si><t>第一行_x000D__x000A_第二行</t></si>',
               '<si><t>笑脸&#x1F600;</t></si>']
    first = sheet('<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="D1" t="s"><v>2</v></c></row>'
                  '<row r="3"><c r="A3" t="s"><v>3</v></c><c r="B3"><v>1.3912345678E10</v></c>'
                  '<c r="D3" t="s"><v>4</v></c></row>'
                  '<row r="4"><c r="A4" t="inlineStr"><is><t>&#26446;&#22235;</t></is></c>'
                  '<c r="B4" t="str"><f>"138"&amp;"0013"&amp;"8000"</f><v>13800138000</v></c>'
                  '<c r="D4" t="s"><v>5</v></c></row>'
                  '<row r="6"><c r="B6"><v>8.6E+12</v></c><c r="C6" t="b"><v>1</v></c><c r="D6" t="s"><v>6</v></c></row>'
                  '<row r="7"><c t="inlineStr"><is><t>王五</t></is></c><c><v>0.1</v></c></row>')
    other = sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>不是第一个工作表</t></is></c></row>')
    write_zip("xlsx-written-by-hand.xlsx",
              package([("联系人", "sheet2.xml", first), ("其他", "sheet1.xml", other)], strings, order="reversed"))


def cfb(stream_names):
    """A compound file (the container of .xls files and of encrypted workbooks) with the
    directory entries named, enough for a reader to see what it holds."""
    header = bytearray(512)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHHI", header, 24, 0x3E, 3, 0xFFFE, 9, 6, 0)
    struct.pack_into("<IIIII", header, 44, 1, 1, 0, 4096, 0xFFFFFFFE)
    struct.pack_into("<I", header, 76, 0)
    for i in range(1, 109):
        struct.pack_into("<I", header, 76 + 4 * i, 0xFFFFFFFF)
    fat = bytearray(512)
    struct.pack_into("<III", fat, 0, 0xFFFFFFFD, 0xFFFFFFFE, 0xFFFFFFFE)
    for i in range(3, 128):
        struct.pack_into("<I", fat, 4 * i, 0xFFFFFFFF)
    directory = bytearray(512)
    for i, name in enumerate(["Root Entry"] + stream_names):
        encoded = (name + "\0").encode("utf-16-le")
        entry = 128 * i
        directory[entry:entry + len(encoded)] = encoded
        struct.pack_into("<HBB", directory, entry + 64, len(encoded), 5 if i == 0 else 2, 1)
    return bytes(header + fat + directory)


def raw_zip(name, parts, claimed=None, zip64=False, listed_as=None):
    """A workbook written field by field: parts in claimed say they inflate to the size given
    there, whatever they hold; with zip64, every size and place stands in Zip64's records, as
    streaming writers put them; listed_as names a part otherwise in the directory."""
    claimed, listed_as = claimed or {}, listed_as or {}
    out, directory = bytearray(), bytearray()
    for part, text in parts:
        data = text.encode("utf-8") if isinstance(text, str) else text
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(data) + packer.flush()
        size, offset = claimed.get(part, len(data)), len(out)
        large = 0xFFFFFFFF if zip64 else None
        local = struct.pack("<HHHHHIIIHH", 45 if zip64 else 20, 0, 8, 0, 0, zlib.crc32(data), large or len(packed),
                            large or size, len(part.encode()), 20 if zip64 else 0)
        out += b"PK\x03\x04" + local + part.encode()
        out += struct.pack("<HHQQ", 1, 16, size, len(packed)) if zip64 else b""
        out += packed
        listed = listed_as.get(part, part).encode()
        central = struct.pack("<HHHHHHIIIHHHHHII", 45 if zip64 else 20, 45 if zip64 else 20, 0, 8, 0, 0,
                              zlib.crc32(data), large or len(packed), large or size, len(listed), 28 if zip64 else 0,
                              0, 0, 0, 0, large or offset)
        directory += b"PK\x01\x02" + central + listed
        directory += struct.pack("<HHQQQ", 1, 24, size, len(packed), offset) if zip64 else b""
    start = len(out)
    out += directory
    count = len(parts)
    if zip64:
        end64 = len(out)
        out += b"PK\x06\x06" + struct.pack("<QHHIIQQQQ", 44, 45, 45, 0, 0, count, count, len(directory), start)
        out += b"PK\x06\x07" + struct.pack("<IQI", 0, end64, 1)
        out += b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)
    else:
        out += b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, count, count, len(directory), start, 0)
    with open(path(name), "wb") as target:
        target.write(out)


def other_writers():
    """What zip and XML writers other than Excel's own put in workbooks Excel opens: Zip64
    records for small parts, backslashes in part names, "." and ".." in a target, no
    relationship to the shared strings, a sheet in UTF-16; and in the cells a first row of
    blanks, numbers of more than 15 digits, a reference to half a character, one with leading
    zeros and a NUL."""
    def strings_as_excel():
        return package([("s", "sheet1.xml", sheet(
            '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>'
            '<row r="2"><c r="A2" t="s"><v>2</v></c><c r="B2"><v>13800138000</v></c></row>'))],
            ['<si><t>姓名</t></si>', '<si><t>电话</t></si>', '<si><t>张三</t></si>'])
    raw_zip("xlsx-zip64-records-of-a-streaming-writer.xlsx", strings_as_excel(), zip64=True)
    utf16 = ('\ufeff<?xml version="1.0" encoding="UTF-16"?>' + sheet(
        '<row r="1"><c r="A1" t="inlineStr"><is><t> </t></is></c><c r="B1" t="inlineStr"><is><t>\u3000</t></is></c></row>'
        '<row r="2"><c r="A2" t="s"><v>0</v></c><c r="B2" t="s"><v>1</v></c><c r="C2" t="s"><v>2</v></c></row>'
        '<row r="3"><c r="A3" t="inlineStr"><is><t>银行卡</t></is></c><c r="B3"><v>6222021234567890</v></c>'
        '<c r="C3"><v>-1.2345678901234567E+300</v></c></row>'
        '<row r="4"><c r="A4" t="inlineStr"><is><t>半个&#xD83D;字</t></is></c><c r="B4"><v>1234567890123456789</v></c>'
        '<c r="C4" t="inlineStr"><is><t>138\u0000000&#x00000000000000000041;</t></is></c></row>'
        '<row r="5"><c r="A5" t="inlineStr"><is><t>负数</t></is></c><c r="B5"><v>-1234567890123456789</v></c></row>')).encode("utf-16-le")
    parts = [(name.replace("/", "\\"), text) for name, text in package([("s", "sheet1.xml", utf16)],
                                                                      ['<si><t>姓名</t></si>', '<si><t>卡号</t></si>',
                                                                       '<si><t>备注</t></si>'])]
    parts = [(name, text.replace("Target=\"worksheets/", "Target=\"./worksheets/.././worksheets/")
              .replace('<Relationship Id="rIdS" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % RELATION, ""))
             if isinstance(text, str) else (name, text) for name, text in parts]
    raw_zip("xlsx-parts-as-other-writers-name-them.xlsx", parts)


def hostile():
    with open(path("xlsx-protected-by-a-password.xlsx"), "wb") as out:
        out.write(cfb(["EncryptionInfo", "EncryptedPackage"]))
    with open(path("xlsx-a-word-document-renamed.xlsx"), "wb") as out:
        out.write(cfb(["WordDocument", "1Table"]))
    good = sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>姓名</t></is></c></row>')
    write_zip("xlsx-a-shared-string-that-is-not-there.xlsx",
              package([("s", "sheet1.xml", sheet('<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>7</v></c></row>'))],
                      ['<si><t>姓名</t></si>']))
    write_zip("xlsx-a-cell-past-the-last-column.xlsx",
              package([("s", "sheet1.xml", sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>姓名</t></is></c>'
                                                   '<c r="XFE1"><v>1</v></c></row>'))]))
    write_zip("xlsx-a-sheet-with-no-rows.xlsx", package([("s", "sheet1.xml", sheet(""))]))
    write_zip("xlsx-truncated.xlsx", package([("s", "sheet1.xml", good)]))
    with open(path("xlsx-truncated.xlsx"), "rb") as source:
        whole = source.read()
    with open(path("xlsx-truncated.xlsx"), "wb") as out:
        out.write(whole[:len(whole) * 2 // 3])
    rows = "".join('<row r="%d"><c r="A%d" t="inlineStr"><is><t>x</t></is></c></row>' % (i, i) for i in range(1, 300))
    raw_zip("xlsx-a-sheet-larger-than-it-says.xlsx", package([("s", "sheet1.xml", sheet(rows))]),
            {"xl/worksheets/sheet1.xml": 4096})
    raw_zip("xlsx-a-sheet-past-the-limit.xlsx", package([("s", "sheet1.xml", good)]),
            {"xl/worksheets/sheet1.xml": 200 << 20})
    whole = package([("s", "sheet1.xml", sheet(rows))])
    raw_zip("xlsx-a-sheet-cut-short-in-its-text.xlsx", [(part, text[:len(text) // 2]) if "sheet1" in part
                                                        else (part, text) for part, text in whole])
    decoy = sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>不该读到</t></is></c></row>')
    raw_zip("xlsx-two-parts-of-one-name.xlsx", package([("s", "sheet1.xml", good)]) + [("xl/worksheets/sheet1.xml", decoy)])
    raw_zip("xlsx-a-directory-entry-naming-another-part.xlsx",
            package([("s", "sheet1.xml", good)]) + [("xl/worksheets/decoy.xml", decoy)],
            listed_as={"xl/worksheets/sheet1.xml": "xl/worksheets/other.xml",
                       "xl/worksheets/decoy.xml": "xl/worksheets/sheet1.xml"})


if __name__ == "__main__":
    libreoffice_export()
    openpyxl_export()
    handwritten()
    hostile()
    other_writers()
