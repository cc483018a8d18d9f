#!/usr/bin/env python3
"""Independent reference of the game's random generator, written from its description alone.

Prints, for a few seeds, the first draws of nextInt(n) for several n, in the form RandomTest embeds.
Run: python3 tests/util/random_reference.py
"""

M = 0xFFFFFFFF


def ror(v, n):
    return ((v >> n) | (v << (32 - n))) & M


class Crt:
    def __init__(self, seed):
        self.state = seed & M

    def rand(self):
        self.state = (self.state * 214013 + 2531011) & M
        return (self.state >> 16) & 0x7FFF


def mix(a):
    a[0] ^= (a[1] << 11) & M; a[3] = (a[3] + a[0]) & M; a[1] = (a[1] + a[2]) & M
    a[1] ^= ror(a[2], 2); a[4] = (a[4] + a[1]) & M; a[2] = (a[2] + a[3]) & M
    a[2] ^= (a[3] << 8) & M; a[5] = (a[5] + a[2]) & M; a[3] = (a[3] + a[4]) & M
    a[3] ^= ror(a[4], 16); a[6] = (a[6] + a[3]) & M; a[4] = (a[4] + a[5]) & M
    a[4] ^= (a[5] << 10) & M; a[7] = (a[7] + a[4]) & M; a[5] = (a[5] + a[6]) & M
    a[5] ^= ror(a[6], 4); a[0] = (a[0] + a[5]) & M; a[6] = (a[6] + a[7]) & M
    a[6] ^= (a[7] << 8) & M; a[1] = (a[1] + a[6]) & M; a[7] = (a[7] + a[0]) & M
    a[7] ^= ror(a[0], 9); a[2] = (a[2] + a[7]) & M; a[0] = (a[0] + a[1]) & M


class Gen:
    def __init__(self, seed):
        self.a = self.b = self.c = 0
        crt = Crt(seed)
        k = crt.rand() % 10000
        for _ in range(k):
            crt.rand()
        self.results = [crt.rand() for _ in range(256)]
        self.memory = [0] * 256
        a = [0x9E3779B9] * 8
        for _ in range(4):
            mix(a)
        for src in (self.results, None):
            for i in range(0, 256, 8):
                source = src if src is not None else self.memory
                for k in range(8):
                    a[k] = (a[k] + source[i + k]) & M
                mix(a)
                for k in range(8):
                    self.memory[i + k] = a[k]
        self.batch()
        self.remaining = 256

    def batch(self):
        self.c = (self.c + 1) & M
        self.b = (self.b + self.c) & M
        mem = self.memory
        for i in range(256):
            x = mem[i]
            r = i % 4
            if r == 0:
                self.a ^= (self.a << 13) & M
            elif r == 1:
                self.a ^= ror(self.a, 6)
            elif r == 2:
                self.a ^= (self.a << 2) & M
            else:
                self.a ^= ror(self.a, 16)
            self.a = (self.a + mem[(i + 128) % 256]) & M
            y = (mem[(x >> 2) & 255] + self.a + self.b) & M
            mem[i] = y
            self.b = (mem[(y >> 10) & 255] + x) & M
            self.results[i] = self.b

    def next_int(self, n):
        bits = max(1, n.bit_length())
        mask = (1 << bits) - 1
        shift = 32 - bits
        while True:
            self.remaining -= 1
            if self.remaining < 0:
                self.batch()
                self.remaining = 255
            v = (self.results[self.remaining] >> shift) & mask
            if v <= n:
                return v


if __name__ == "__main__":
    for seed in (0, 1, 12345, 0xDEADBEEF):
        for n in (0, 1, 5, 6, 100, 0x7FFFFFFF):
            g = Gen(seed)
            draws = [g.next_int(n) for _ in range(300)]
            picks = [draws[i] for i in (0, 1, 2, 255, 256, 257, 299)]
            print("    {%uu, %d, {%s}}," % (seed, n, ", ".join(str(v) for v in picks)))
