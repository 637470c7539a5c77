#!/usr/bin/env python3
"""Checks a Lunora draw history (中奖记录.csv) from the file alone.

Usage: python3 verify_history.py [--public] [FILE]
Exit 0: every check held; 1: the first failure, named by its line (the
header is line 1); 2: the file could not be read. --public: every win from
the first 承诺 on must be a public draw.

Written apart from the program, with Python's standard library only, so
that anyone can read it and see what the program's own checker checks. It
implements the grammar the README defines, byte for byte, and reads no time
zone and no locale.

Columns, by position: 0 时间, 1 奖项 (1..8, 清空中奖, 承诺, 设置, 作废,
公开抽奖结束), 2 奖品数值, 3 抽奖方式, 4 已中奖数量, 5 指定, 6 序号, 7 票箱,
8 停止时刻, 9 票号, 10 公开, 11 校验.

check = hex SHA-256(previous line's check + the line up to its last comma).
A public draw: msg = "n=<n>;box=<t1>,...,<t8>;us=<µs>" (";ms=<ms>" for a
停止时刻 of 13 digits or fewer), h = HMAC-SHA256(key, msg),
k = 1 + (first 8 bytes of h, big-endian) mod T, slot = first i with
t1+...+ti >= k; and SHA-256(key) = the previous key (the commitment's for
draw 1).
"""
import hashlib
import hmac
import sys

BOM = b"\xef\xbb\xbf"
HEADER12 = BOM + "时间,奖项,奖品数值,抽奖方式,已中奖数量,指定,序号,票箱,停止时刻,票号,公开,校验".encode()
HEADER5 = BOM + "时间,奖项,奖品数值,抽奖方式,已中奖数量".encode()
TORN = ",断电时未写完，此行作废".encode()
MODES = ("按数量", "按概率")
KEYS = 10000
DIGITS = "0123456789"
HEX = "0123456789abcdef"


class Failure(Exception):
    pass


# --- the grammar -----------------------------------------------------------

def csv_fields(line):
    """RFC 4180 fields of one line, as bytes; None when it does not follow it."""
    fields, i, size = [], 0, len(line)
    while True:
        if i < size and line[i:i + 1] == b'"':
            field, i = bytearray(), i + 1
            while True:
                if i >= size:
                    return None
                if line[i:i + 1] == b'"':
                    if line[i + 1:i + 2] != b'"':
                        break
                    i += 1
                field += line[i:i + 1]
                i += 1
            i += 1
            field = bytes(field)
        else:
            end = line.find(b",", i)
            end = size if end < 0 else end
            field, i = line[i:end], end
            if b'"' in field:
                return None
        fields.append(field)
        if i >= size:
            return fields
        if line[i:i + 1] != b",":
            return None
        i += 1


def loose_fields(line):
    """A cut line split at the commas outside quotes, quotes kept."""
    fields, quoted, start = [], False, 0
    for i in range(len(line) + 1):
        if i == len(line) or (line[i:i + 1] == b"," and not quoted):
            fields.append(line[start:i])
            start = i + 1
        elif line[i:i + 1] == b'"':
            quoted = not quoted
    return fields


def is_utf8(data):
    try:
        data.decode("utf-8", "strict")
        return True
    except UnicodeDecodeError:
        return False


def all_digits(text):
    return len(text) > 0 and all(c in DIGITS for c in text)


def is_time(text):
    shape = "dddd-dd-dd dd:dd:dd"
    if len(text) != 19 or any((c not in DIGITS) if s == "d" else c != s for c, s in zip(text, shape)):
        return False
    year, month, day = int(text[0:4]), int(text[5:7]), int(text[8:10])
    leap = (year % 4 == 0 and year % 100 != 0) or year % 400 == 0
    days = [31, 29 if leap else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
    if year < 1 or not 1 <= month <= 12 or not 1 <= day <= days[month - 1]:
        return False
    return int(text[11:13]) <= 23 and int(text[14:16]) <= 59 and int(text[17:19]) <= 59


def number(text):
    """0 or a decimal without a leading zero, at most 18 ASCII digits."""
    if not all_digits(text) or len(text) > 18 or (len(text) > 1 and text[0] == "0"):
        return None
    return int(text)


def box_of(text):
    parts = text.split(" ")
    values = [number(p) for p in parts]
    return values if len(parts) == 8 and None not in values else None


def is_hex(text, size):
    return len(text) == size and all(c in HEX for c in text)


def is_count(text):
    """-?digits(.digits)?(e[+-]digits)?: a count as the program prints it."""
    rest = text[1:] if text.startswith("-") else text
    mantissa, _, exponent = rest.partition("e")
    whole, dot, fraction = mantissa.partition(".")
    if not all_digits(whole) or (dot and not all_digits(fraction)):
        return False
    if "e" in rest:
        return exponent[:1] in ("+", "-") and all_digits(exponent[1:])
    return True


def empty_except(cells, kept):
    return all(cells[i] == "" for i in range(2, 11) if i not in kept)


def is_slot(text):
    return len(text) == 1 and "1" <= text <= "8"


def kind_of(cells):
    """The kind of record the cells hold; None when they are none."""
    if len(cells) not in (5, 12) or not is_time(cells[0]):
        return None
    c = cells
    if len(c) == 5:
        if c[1] == "清空中奖" and c[2] == c[3] == c[4] == "":
            return "clear"
        return "win" if is_slot(c[1]) and c[3] in MODES and is_count(c[4]) else None
    if not is_hex(c[11], 64):
        return None
    if is_slot(c[1]):
        if c[3] not in MODES or not is_count(c[4]) or c[5] not in ("是", "否"):
            return None
        if empty_except(c, (2, 3, 4, 5)):
            return "win"
        public = (number(c[6]) is not None and box_of(c[7]) is not None and number(c[8]) is not None
                  and number(c[9]) is not None and is_hex(c[10], 64))
        return "win" if public else None
    if c[1] == "清空中奖" and empty_except(c, ()):
        return "clear"
    if (c[1] == "承诺" and is_hex(c[10], 64) and empty_except(c, (3, 7, 10))
            and ((c[3] == "" and c[7] == "") or (c[3] in MODES and box_of(c[7]) is not None))):
        return "commit"
    if c[1] == "设置" and c[3] in MODES and box_of(c[7]) is not None and empty_except(c, (3, 7)):
        return "boxset"
    if (c[1] == "作废" and c[3] in MODES and is_count(c[4]) and empty_except(c, (2, 3, 4, 6, 7))
            and ((c[6] == "" and c[7] == "") or (number(c[6]) is not None and box_of(c[7]) is not None))):
        return "void"
    if c[1] == "公开抽奖结束" and empty_except(c, ()):
        return "end"
    return None


def chain_check(previous, body):
    return hashlib.sha256(previous + body).hexdigest().encode()


def is_whole_record(fragment, previous):
    """The text after the last CRLF is a whole record short of its line end."""
    line = fragment[:-1] if fragment.endswith(b"\r") else fragment
    if b"\r" in line or b"\n" in line or not is_utf8(line):
        return False
    fields = csv_fields(line)
    if fields is None:
        return False
    if len(fields) == 12:
        return chain_check(previous, line[: line.rindex(b",")]) == fields[-1]
    return len(fields) == 5 and previous == b"" and kind_of([f.decode() for f in fields]) is not None


# --- the checks ------------------------------------------------------------

def ticket_of(key, n, box, moment):
    unit = "ms" if len(moment) <= 13 else "us"
    msg = "n=%d;box=%s;%s=%s" % (n, ",".join(map(str, box)), unit, moment)
    h = hmac.new(key, msg.encode(), hashlib.sha256).digest()
    k = 1 + int.from_bytes(h[:8], "big") % sum(box)
    total = 0
    for slot, t in enumerate(box, 1):
        total += t
        if total >= k:
            return k, slot
    return k, 0


def box_text(box):
    return " ".join(map(str, box))


class Checker:
    def __init__(self, public_only):
        self.public_only = public_only
        self.previous, self.chain_started = b"", False
        self.public = self.ever_committed = self.restartable = False
        self.n, self.key, self.expected = 0, None, None
        self.wins, self.counts = [], {}
        self.listed, self.commitments, self.last = [], [], "none"
        self.counted = dict.fromkeys(("chained", "draws", "designated", "design", "boxsets", "voids",
                                      "ends", "torn"), 0)

    def list(self, line, what):
        self.listed.append("line %d: %s" % (line, what))

    def line(self, number_in_file, raw):
        if raw.endswith(TORN):
            return self.torn(number_in_file, raw[: -len(TORN)])
        if b"\r" in raw or b"\n" in raw:
            raise Failure("a bare CR or LF inside the line")
        if not is_utf8(raw):
            raise Failure("the line is not UTF-8")
        fields = csv_fields(raw)
        if fields is None:
            raise Failure("the line is not CSV")
        self.record(number_in_file, raw, [f.decode() for f in fields])

    def tail(self, number_in_file, raw):
        if is_whole_record(raw, self.previous):
            return self.line(number_in_file, raw[:-1] if raw.endswith(b"\r") else raw)
        return self.torn(number_in_file, raw)

    def torn(self, number_in_file, fragment):
        self.counted["torn"] += 1
        fields = loose_fields(fragment)
        if self.public and len(fields) >= 11 and is_hex(fields[10].decode("latin-1"), 64):
            key = bytes.fromhex(fields[10].decode())
            for _ in range(self.n, KEYS):
                key = hashlib.sha256(key).digest()
                if key == self.key:
                    raise Failure("a public draw was cut short")
        self.list(number_in_file, "torn")

    def record(self, number_in_file, raw, cells):
        if len(cells) == 5 and not self.chain_started:
            kind = kind_of(cells)
            if kind is None:
                raise Failure("the cells are not a record")
            return self.clear() if kind == "clear" else self.win(number_in_file, cells)
        if len(cells) != 12:
            raise Failure("expected 12 cells, found %d" % len(cells))
        check = cells[11].encode()
        if chain_check(self.previous, raw[: raw.rindex(b",")]) != check:
            raise Failure("the check cell does not match the chain")
        self.chain_started, self.previous = True, check
        self.counted["chained"] += 1
        self.last = cells[11][:16]
        kind = kind_of(cells)
        if kind is None:
            raise Failure("the cells are not a record")
        if kind == "win":
            self.win(number_in_file, cells)
        elif kind == "clear":
            self.clear()
        elif kind == "commit":
            self.commit(number_in_file, cells)
        elif kind == "boxset":
            self.counted["boxsets"] += 1
            before = box_text(self.expected) if self.expected is not None else "unknown"
            self.list(number_in_file, "box changed before draw %d: %s → %s" % (self.n + 1, before, cells[7]))
            self.expected = box_of(cells[7])
        elif kind == "void":
            self.void(number_in_file, cells)
        else:
            self.counted["ends"] += 1
            self.list(number_in_file, "public draws ended")
            self.public = self.restartable = False
            self.expected = None

    def commit(self, number_in_file, cells):
        """A commitment while the last one's keys were not used up, with no
        clearing between, is a restart: listed, for the draws it may hide."""
        if self.restartable and self.n < KEYS:
            self.list(number_in_file, "restart after draw %d" % self.n)
        self.public = self.ever_committed = self.restartable = True
        self.n, self.key = 0, bytes.fromhex(cells[10])
        self.commitments.append(cells[10][:16])
        self.expected = box_of(cells[7])

    def clear(self):
        self.counts, self.wins, self.restartable, self.expected = {}, [], False, None

    def win(self, number_in_file, cells):
        slot = int(cells[1])
        self.note_count(number_in_file, slot, cells[4])
        public = len(cells) == 12 and cells[6] != ""
        self.wins.append({"line": number_in_file, "slot": slot, "n": int(cells[6]) if public else 0,
                          "quantity": cells[3] == "按数量", "voided": False})
        if public:
            return self.public_draw(cells)
        self.counted["design"] += 1
        if len(cells) == 12 and cells[5] == "是":
            self.counted["designated"] += 1
        if self.public_only and self.ever_committed:
            raise Failure("a win that is not a public draw after the first commitment")
        if self.public:
            raise Failure("a win after a commitment that is not a public draw")

    def public_draw(self, cells):
        if not self.public:
            raise Failure("a public draw with no commitment before it")
        if cells[5] != "否":
            raise Failure("a public draw marked as designated")
        n, box = number(cells[6]), box_of(cells[7])
        if n <= self.n or n > KEYS:
            raise Failure("draw number %d after %d" % (n, self.n))
        key = bytes.fromhex(cells[10])
        down = key
        for _ in range(n - self.n):  # twice across a missing line
            down = hashlib.sha256(down).digest()
        if down != self.key:
            raise Failure("the key does not hash to the previous key")
        if n != self.n + 1:
            raise Failure("draw number %d after %d: a draw is missing" % (n, self.n))
        if self.expected is not None and self.expected != box:
            raise Failure("the box is not the one the record expects: %s" % box_text(self.expected))
        if sum(box) == 0:
            raise Failure("the box is empty")
        ticket, slot = ticket_of(key, n, box, cells[8])
        if ticket != number(cells[9]):
            raise Failure("the ticket does not follow from the key, box and moment")
        if slot != int(cells[1]):
            raise Failure("the slot does not follow from the ticket")
        self.n, self.key, self.expected = n, key, list(box)
        if cells[3] == "按数量":
            self.expected[slot - 1] -= 1
        self.counted["draws"] += 1

    def void(self, number_in_file, cells):
        """A public void names its draw by 序号; any other voids the latest
        win since the last clearing that is not voided yet."""
        self.counted["voids"] += 1
        n = number(cells[6]) if cells[6] else 0
        i = len(self.wins) - 1
        while i >= 0 and (self.wins[i]["n"] != n if n > 0 else self.wins[i]["voided"]):
            i -= 1
        if n > 0 and (i < 0 or self.wins[i]["voided"]):
            raise Failure("draw %d is not a draw that can still be voided" % n)
        if i < 0:
            raise Failure("a void with no win to void")
        won = self.wins[i]
        if n == 0 and won["n"] > 0:
            raise Failure("a void without 序号 of a public draw")
        won["voided"] = True
        self.counts[won["slot"]] = cells[4]
        if n > 0 and won["quantity"] and self.expected is not None:
            self.expected[won["slot"] - 1] += 1
        self.list(number_in_file, "draw %d voided" % n if n > 0 else "the win on line %d voided" % won["line"])

    def note_count(self, line, slot, count):
        """Gaps the history is known to show: listed, never failed."""
        previous = self.counts.get(slot, "0")
        now, before = float(count), float(previous)
        if now > before + 1:
            self.list(line, "slot %d count rose from %s to %s" % (slot, previous, count))
        elif now == 1 and before >= 1:
            self.list(line, "slot %d count started again at 1 with no clearing" % slot)
        self.counts[slot] = count


def check(data, public_only=False):
    """The text to print and the exit status."""
    checker, failed = Checker(public_only), None
    end = data.find(b"\r\n")
    if end < 0 or data[:end] not in (HEADER12, HEADER5):
        failed = (1, "the file does not start with a byte order mark and a header")
    else:
        start, number_in_file = end + 2, 2
        while start < len(data) and failed is None:
            end = data.find(b"\r\n", start)
            raw = data[start:] if end < 0 else data[start:end]
            try:
                checker.tail(number_in_file, raw) if end < 0 else checker.line(number_in_file, raw)
            except Failure as failure:
                failed = (number_in_file, str(failure))
            start, number_in_file = (len(data) if end < 0 else end + 2), number_in_file + 1
    text = "".join(entry + "\n" for entry in checker.listed)
    if failed:
        return text + "FAILED at line %d: %s\n" % failed, 1
    c = checker.counted
    text += ("lines chained: %d\npublic draws verified: %d\ndesignated wins: %d\ndesign-mode wins: %d\n"
             "设置 lines: %d\n作废 lines: %d\n公开抽奖结束 lines: %d\ntorn lines: %d\n"
             % (c["chained"], c["draws"], c["designated"], c["design"], c["boxsets"], c["voids"],
                c["ends"], c["torn"]))
    text += "".join("commitment: %s\n" % commitment for commitment in checker.commitments)
    return text + "last check: %s\n" % checker.last, 0


def main():
    args = sys.argv[1:]
    public_only = "--public" in args
    args = [a for a in args if a != "--public"]
    if len(args) > 1 or (args and args[0].startswith("-")):
        sys.stderr.write("usage: verify_history.py [--public] [FILE]\n")
        return 2
    path = args[0] if args else "中奖记录.csv"
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        sys.stderr.write("verify_history.py: cannot read %s: %s\n" % (path, error.strerror or error))
        return 2
    text, status = check(data, public_only)
    if sys.stdout.isatty():
        sys.stdout.write(text)  # a console takes text as it can show it
    else:
        sys.stdout.buffer.write(text.encode("utf-8"))
    sys.stdout.flush()
    return status


if __name__ == "__main__":
    sys.exit(main())
