#!/usr/bin/env python3
"""Expected results for the numerics tests, computed with Python's datetime and decimal.

make_oracles.py dates OUT: every day from 1904-01-01 to 2040-02-06 with a time of day, as
    "year month day hour minute second dayOfWeek(1=Sunday) macSeconds".
make_oracles.py decimal OUT: random doubles with the expected Num2Str text and Num2Dec record,
    as "bits|style|digits|direction|text|sgn|exp|sig" (bits: the double in hex).
"""
import datetime
import random
import struct
import sys
from decimal import ROUND_DOWN, ROUND_HALF_UP, Decimal, getcontext

getcontext().prec = 2000
MAC_EPOCH = datetime.datetime(1904, 1, 1)
LAST = datetime.datetime(2040, 2, 6, 6, 28, 15)


def dates(out):
    rng = random.Random(1904)
    day = datetime.date(1904, 1, 1)
    with open(out, "w") as f:
        while day <= LAST.date():
            moment = datetime.datetime(day.year, day.month, day.day) + datetime.timedelta(
                seconds=rng.randrange(86400))
            if moment > LAST:
                moment = LAST
            secs = int((moment - MAC_EPOCH).total_seconds())
            dow = day.isoweekday() % 7 + 1
            f.write(f"{moment.year} {moment.month} {moment.day} {moment.hour} {moment.minute} "
                    f"{moment.second} {dow} {secs}\n")
            day += datetime.timedelta(days=1)


def significant(ax, n, rounding):
    """n digits of ax rounded by magnitude, and p with ax ~ 0.d1d2... x 10^p."""
    if ax == 0:
        return "0" * n, 1
    e = ax.adjusted()
    q = ax.scaleb(-e).quantize(Decimal(1).scaleb(-(n - 1)), rounding=rounding)
    if q >= 10:
        e += 1
        q = (q / 10).quantize(Decimal(1).scaleb(-(n - 1)))
    return "".join(map(str, q.as_tuple().digits)), e + 1


def floating_text(negative, ax, n, rounding):
    digits, p = significant(ax, n, rounding)
    e = p - 1
    return ("-" if negative else " ") + digits[0] + "." + digits[1:] + "e" + ("+" if e >= 0 else "-") + str(abs(e))


def num2str(x, style, digits, rounding):
    negative = struct.pack(">d", x)[0] >= 0x80
    ax = abs(Decimal(x))
    if style == 0:
        return floating_text(negative, ax, min(max(digits, 1), 20), rounding)
    q = ax.quantize(Decimal(1).scaleb(-digits), rounding=rounding)
    text = ("-" if negative else "") + format(q, "f")
    if len(text) > 255:
        return floating_text(negative, ax, 17, rounding)
    return text


def num2dec(x, digits, rounding):
    negative = struct.pack(">d", x)[0] >= 0x80
    n = min(max(digits, 1), 255)
    sig, p = significant(abs(Decimal(x)), n, rounding)
    return int(negative), p - n, sig


def sample_doubles(rng, count):
    for i in range(count):
        kind = i % 6
        if kind == 0:  # any finite double
            while True:
                x = struct.unpack("<d", struct.pack("<Q", rng.getrandbits(64)))[0]
                if x == x and abs(x) != float("inf"):
                    break
        elif kind == 1:  # everyday magnitudes
            x = 10 ** rng.uniform(-8, 15)
        elif kind == 2:  # exact binary fractions: decimal ties of all lengths
            x = rng.randrange(10**7) / 2 ** rng.randrange(12)
        elif kind == 3:  # 17 significant decimal digits
            x = float(f"{rng.randrange(10**16, 10**17)}e{rng.randrange(-30, 30)}")
        elif kind == 4:  # near powers of ten, where the point position moves
            x = 10.0 ** rng.randrange(-20, 22) * (1 - rng.choice([0, 1e-16, 2e-16, 1e-15, 5e-17]))
        else:  # small money amounts
            x = rng.randrange(10**6) / 100
        if rng.random() < 0.3:
            x = -x
        yield x


def decimal_cases(out):
    rng = random.Random(10)
    with open(out, "w") as f:
        for x in list(sample_doubles(rng, 30000)) + [0.0, -0.0]:
            style = rng.choice([0, 1])
            digits = rng.randrange(0, 21) if rng.random() < 0.95 else rng.randrange(21, 26)
            if style == 1 and digits > 20:
                digits = 20
            direction = rng.randrange(4)
            rounding = ROUND_HALF_UP if direction < 2 else ROUND_DOWN
            bits = struct.unpack("<Q", struct.pack("<d", x))[0]
            text = num2str(x, style, digits, rounding)
            sgn, exp, sig = num2dec(x, digits, rounding)
            f.write(f"{bits:016x}|{style}|{digits}|{direction}|{text}|{sgn}|{exp}|{sig}\n")


if __name__ == "__main__":
    {"dates": dates, "decimal": decimal_cases}[sys.argv[1]](sys.argv[2])
