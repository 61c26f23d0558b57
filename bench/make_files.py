#!/usr/bin/env python3
"""Writes the benchmark's input files into the given folder: books of 512, 10,000 and
100,000 contacts, a 10,000-card vCard file as a phone writes it, and 100,000-line text and
CSV files, and the CSV file's rows as an Excel workbook (shared strings for the texts, the
numbers as numbers, as Excel keeps a contact list). Every run writes the same bytes."""
import os
import struct
import sys
import zipfile
from xml.sax.saxutils import escape

MAGIC, VERSION = 0x00030A33, 1
SURNAMES = "张王李赵刘陈杨黄周吴徐孙胡朱高林何郭马罗"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平"


def contact(i):
    name = SURNAMES[i % 20] + GIVEN[(i // 20) % 20] + (GIVEN[(i // 400) % 20] if i % 3 else "")
    number = "1%02d%08d" % (30 + i % 60, i * 7919 % 100000000)
    remark = ("同事", "朋友", "", "家人", "客户 A%d" % (i % 97))[i % 5]
    return name, number, remark


def field(text, width):
    data = text.encode("gbk")
    return data + b"\0" * (width - len(data))


def write_book(path, count):
    with open(path, "wb") as out:
        out.write(struct.pack("<iii", MAGIC, VERSION, count))
        for i in range(count):
            name, number, remark = contact(i)
            out.write(field(name, 12) + field(number, 20) + field(remark, 40))


def quoted_printable(text):
    return "".join("=%02X" % b for b in text.encode("utf-8"))


def write_vcards(path, count):
    with open(path, "w", encoding="ascii", newline="") as out:
        for i in range(count):
            name, number, remark = contact(i)
            out.write("BEGIN:VCARD\r\nVERSION:2.1\r\n")
            out.write("N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:%s;%s;;;\r\n"
                      % (quoted_printable(name[0]), quoted_printable(name[1:])))
            out.write("FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:%s\r\n" % quoted_printable(name))
            out.write("TEL;CELL:%s\r\nTEL;HOME:010-%s\r\n" % (number, number[-8:]))
            out.write("EMAIL;HOME:user%d@example.com\r\nEND:VCARD\r\n" % i)


def write_lines(path, count, separator, header):
    with open(path, "w", encoding="gbk", newline="") as out:
        if header:
            out.write("姓名,号码,备注\r\n")
        for i in range(count):
            out.write(separator.join(contact(i)) + "\r\n")


def write_workbook(path, count):
    strings, index = [], {}

    def shared(text):
        if text not in index:
            index[text] = len(strings)
            strings.append("<si><t>%s</t></si>" % escape(text))
        return '<c r="%%s" t="s"><v>%d</v></c>' % index[text]

    rows = []
    for i, values in enumerate([("姓名", "号码", "备注")] + [contact(j) for j in range(count)]):
        cells = []
        for column, value in zip("ABC", values):
            reference = "%s%d" % (column, i + 1)
            if value == "":
                continue
            cells.append('<c r="%s"><v>%s</v></c>' % (reference, value) if value.isdigit() and i > 0
                         else shared(value) % reference)
        rows.append('<row r="%d">%s</row>' % (i + 1, "".join(cells)))
    main_ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    relation = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    parts = {
        "_rels/.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                       '<Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/>'
                       '</Relationships>' % relation,
        "xl/workbook.xml": '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="通讯录" sheetId="1" '
                           'r:id="rId1"/></sheets></workbook>' % (main_ns, relation),
        "xl/_rels/workbook.xml.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                                      'relationships"><Relationship Id="rId1" Type="%s/worksheet" '
                                      'Target="worksheets/sheet1.xml"/><Relationship Id="rId2" '
                                      'Type="%s/sharedStrings" Target="sharedStrings.xml"/></Relationships>'
                                      % (relation, relation),
        "xl/sharedStrings.xml": '<sst xmlns="%s">%s</sst>' % (main_ns, "".join(strings)),
        "xl/worksheets/sheet1.xml": '<worksheet xmlns="%s"><sheetData>%s</sheetData></worksheet>'
                                    % (main_ns, "".join(rows)),
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, text in parts.items():
            archive.writestr(zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0)), text.encode("utf-8"),
                             zipfile.ZIP_DEFLATED)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for count in (512, 10000, 100000):
        write_book(os.path.join(folder, "book_%d.ctb" % count), count)
    write_vcards(os.path.join(folder, "cards_10000.vcf"), 10000)
    write_lines(os.path.join(folder, "lines_100000.txt"), 100000, ",", False)
    write_lines(os.path.join(folder, "lines_100000.csv"), 100000, ",", True)
    write_workbook(os.path.join(folder, "lines_100000.xlsx"), 100000)


if __name__ == "__main__":
    main()
