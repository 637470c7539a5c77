#!/usr/bin/env python3
"""Checks a Lunora draw history (中奖记录.csv) from the file alone.

Usage: python3 verify_history.py [FILE]     (exit 0: every check held,
1: the first failure, named by its line; the header is line 1)

Written apart from the program, with Python's standard library only, so
that anyone can read it and see what the program's own checker checks.

Columns, by position: 1 time, 2 slot (1..8, 清空中奖 or 承诺), 3 prize value,
4 mode, 5 count, 6 designated (是/否), 7 draw number n, 8 box t1..t8,
9 stop moment in ms, 10 ticket k, 11 key (hex), 12 check.

check = hex SHA-256(previous line's check + the line up to its last comma).
A public draw: msg = "n=<n>;box=<t1>,...,<t8>;ms=<m>",
h = HMAC-SHA256(key, msg), k = 1 + (first 8 bytes of h, big-endian) mod T,
slot = first i with t1+...+ti >= k; and SHA-256(key) = the previous key
(the commitment's for draw 1).
"""
import csv
import datetime
import hashlib
import hmac
import re
import sys

TORN = ",断电时未写完，此行作废".encode()
HEX64 = re.compile(r"^[0-9a-f]{64}$")
INT = re.compile(r"^-?[0-9]{1,18}$")


class Failure(Exception):
    pass


def number(text, least):
    if not INT.match(text) or int(text) < least:
        raise Failure("the public draw's cells are malformed")
    return int(text)


def ticket_of(key, n, box, ms):
    unit = "us" if ms > 9999999999999 else "ms"  # microseconds; 13 digits or fewer: the earlier ms
    msg = "n=%d;box=%s;%s=%d" % (n, ",".join(map(str, box)), unit, ms)
    h = hmac.new(key, msg.encode(), hashlib.sha256).digest()
    k = 1 + int.from_bytes(h[:8], "big") % sum(box)
    total = 0
    for slot, t in enumerate(box, 1):
        total += t
        if total >= k:
            return k, slot


def check(data):
    out = {"chained": 0, "draws": 0, "commitments": [], "last": "none", "notes": []}
    lines = data.split(b"\r\n")[1:-1]  # the header; what follows the last CRLF is unfinished
    previous, chain_started, committed, n, key, counts = b"", False, False, 0, None, {}
    for number_in_file, raw in enumerate(lines, 2):
        if raw.endswith(TORN):
            continue  # torn by a power cut: outside the chain
        try:
            cells = next(csv.reader([raw.decode("utf-8")], strict=True))
        except (csv.Error, UnicodeDecodeError, StopIteration):
            return out, number_in_file, "the line is not CSV"
        if len(cells) == 5 and not chain_started:
            if cells[1] == "清空中奖":
                counts = {}
            elif cells[1] in "12345678" and len(cells[1]) == 1:
                note_count(out, counts, int(cells[1]), cells[4], number_in_file)
            continue
        try:
            if len(cells) != 12:
                raise Failure("expected 12 cells, found %d" % len(cells))
            body = raw[: raw.rindex(b",")]
            if hashlib.sha256(previous + body).hexdigest() != cells[11]:
                raise Failure("the check cell does not match the chain")
            chain_started, previous = True, cells[11].encode()
            out["chained"] += 1
            out["last"] = cells[11][:16]
            kind = record_kind(cells)
            if kind == "commit":
                committed, n, key = True, 0, bytes.fromhex(cells[10])
                out["commitments"].append(cells[10][:16])
            elif kind == "clear":
                counts = {}
            else:
                note_count(out, counts, int(cells[1]), cells[4], number_in_file)
                public = any(cells[6:11])
                if public and not committed:
                    raise Failure("a public draw with no commitment before it")
                if not public and committed:
                    raise Failure("a win after a commitment that is not a public draw")
                if public:
                    n, key = public_draw(cells, n, key)
                    out["draws"] += 1
        except Failure as failure:
            return out, number_in_file, str(failure)
    return out, 0, ""


def record_kind(cells):
    """What the record is; Failure when its cells are not one."""
    bad = Failure("the cells are not a record")
    try:
        datetime.datetime.strptime(cells[0], "%Y-%m-%d %H:%M:%S")
    except ValueError:
        raise bad
    if not re.match(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$", cells[0]):
        raise bad
    if cells[1] == "清空中奖" and not any(cells[2:11]):
        return "clear"
    if cells[1] == "承诺" and not any(cells[2:3] + cells[4:7] + cells[8:10]) and HEX64.match(cells[10]):
        return "commit"
    if (len(cells[1]) == 1 and cells[1] in "12345678" and cells[3] in ("按数量", "按概率")
            and cells[4] and cells[5] in ("是", "否")):
        return "win"
    raise bad


def public_draw(cells, last_n, last_key):
    box = cells[7].split(" ")
    if len(box) != 8 or any(t.startswith("-") for t in box) or not HEX64.match(cells[10]):
        raise Failure("the public draw's cells are malformed")
    n, ms, k = number(cells[6], 1), number(cells[8], 0), number(cells[9], 1)
    box = [number(t, 0) for t in box]
    if cells[5] != "否":
        raise Failure("a public draw marked as designated")
    if n <= last_n or n > 10000:
        raise Failure("draw number %d after %d" % (n, last_n))
    key = bytes.fromhex(cells[10])
    down = key
    for _ in range(n - last_n):  # twice across a missing line
        down = hashlib.sha256(down).digest()
    if down != last_key:
        raise Failure("the key does not hash to the previous key")
    if n != last_n + 1:
        raise Failure("draw number %d after %d: a draw is missing" % (n, last_n))
    ticket, slot = ticket_of(key, n, box, ms)
    if ticket != k:
        raise Failure("the ticket does not follow from the key, box and moment")
    if slot != int(cells[1]):
        raise Failure("the slot does not follow from the ticket")
    return n, key


def note_count(out, counts, slot, count, line):
    """Gaps the history is known to show: listed, never failed."""
    previous = counts.get(slot, "0")
    try:
        now, before = float(count), float(previous)
    except ValueError:  # the program's counts are always numbers
        now = before = None
    if now is not None and now > before + 1:
        out["notes"].append("line %d: slot %d count rose from %s to %s" % (line, slot, previous, count))
    elif now is not None and now == 1 and before >= 1:
        out["notes"].append("line %d: slot %d count started again at 1 with no clearing" % (line, slot))
    counts[slot] = count


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "中奖记录.csv"
    with open(path, "rb") as f:
        out, line, failure = check(f.read())
    text = "".join("note: %s\n" % note for note in out["notes"])
    if line:
        text += "FAILED at line %d: %s\n" % (line, failure)
    else:
        text += "lines chained: %d\npublic draws verified: %d\n" % (out["chained"], out["draws"])
        text += "".join("commitment: %s\n" % c for c in out["commitments"])
        text += "last check: %s\n" % out["last"]
    sys.stdout.buffer.write(text.encode())
    return 1 if line else 0


if __name__ == "__main__":
    sys.exit(main())
