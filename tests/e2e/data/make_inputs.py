#!/usr/bin/python3
"""Writes the input files of the end-to-end table into input/ (run once; the files are kept in the repository).

Each file is built here from its characters and its encoding, so its bytes are easy to review.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

CRLF = "\r\n"
N1, N2, N3 = "13800138000", "13912345678", "15000000000"


def utf8(text):
    return text.encode("utf-8")


INPUTS = {
    # Two numbers and a third, every line closed by CR LF; then the same without the last line end.
    "crlf_final.txt": utf8(N1 + CRLF + N2 + CRLF + N3 + CRLF),
    "crlf_no_final.txt": utf8(N1 + CRLF + N2 + CRLF + N3),
    # Empty lines at the start, in the middle (two in a row) and one before the final line end.
    "empty_lines.txt": utf8(CRLF + N1 + CRLF + CRLF + CRLF + N2 + CRLF + CRLF),
    "lf_only.txt": utf8(N1 + "\n" + N2 + "\n" + N3 + "\n"),
    "cr_only.txt": utf8(N1 + "\r" + N2 + "\r" + N3),
    # CR LF, LF, LF CR (two line ends), CR LF LF (a line end and an empty line), and a CR at the very end.
    "mixed_line_ends.txt": utf8(N1 + "\r\n" + N2 + "\n\r" + N3 + "\r\n\n" + "18600000000" + "\r"),
    "utf8_bom.txt": b"\xef\xbb\xbf" + utf8(N1 + CRLF + "张三 " + N2 + CRLF),
    # Notepad's "Unicode": UTF-16 LE with its byte-order mark.
    "utf16le_bom.txt": b"\xff\xfe" + (N1 + CRLF + "客户 139-1234-5678" + CRLF + "李四" + CRLF).encode("utf-16-le"),
    "utf16be_bom.txt": b"\xfe\xff" + (N1 + CRLF + "王五 " + N2 + CRLF).encode("utf-16-be"),
    # A legacy Chinese file in the system's code page (936).
    "gbk.txt": ("王五 " + N1 + CRLF + "赵六 139-1234-5678" + CRLF + "客户" + CRLF).encode("gbk"),
    "utf8_chinese.txt": utf8("张三 " + N1 + CRLF + "李四 " + N2 + CRLF),
    "empty.txt": b"",
    # Everything after the first zero byte is dropped.
    "zero_byte.txt": utf8(N1 + CRLF + N2 + CRLF) + b"\x00 " + utf8(N3 + CRLF),
    # ASCII dashes and spaces are filtered; the tab, the full-width dash and the full-width space are not.
    "dashes_spaces.txt": utf8("138-0013-8000" + CRLF + " 139 1234 5678 " + CRLF + "1-2 3" + CRLF
                              + "+86 (150) 0000-0000" + CRLF + "\t186－0000\u30000000\t" + CRLF),
    # Eleven entries, one of them empty, so that the sequence numbers reach 10 and 11.
    "eleven.txt": utf8(CRLF.join(["1380000000%d" % i for i in range(1, 6)] + [""]
                                 + ["138000000%02d" % i for i in range(6, 11)]) + CRLF),
    # Characters that vCard text values must escape in N and FN. No comma here: TEL goes out as it is, and a
    # parser that reads TEL as a text value (python3-vobject does) would cut it at an unescaped comma. The comma
    # is covered by the typed custom name of the case escaping_custom.
    "escaping.txt": utf8("张三;王五\\赵六 " + N1 + CRLF + "a;b " + N2 + CRLF),
}


def main():
    folder = os.path.join(HERE, "input")
    os.makedirs(folder, exist_ok=True)
    gbk = INPUTS["gbk.txt"]
    try:
        gbk.decode("utf-8")
        sys.exit("gbk.txt must not be valid UTF-8, or it would not test the legacy decoding")
    except UnicodeDecodeError:
        pass
    for name, data in sorted(INPUTS.items()):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    print("wrote %d files to %s" % (len(INPUTS), folder))


if __name__ == "__main__":
    main()
