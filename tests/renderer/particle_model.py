#!/usr/bin/env python3
"""An independent model of the particle rules, written from the rules and not from the C++:
runs N frames and compares its state with `particle-dump N`, line by line.

usage: particle_model.py PARTICLE_DUMP N [N ...]
"""
import math
import struct
import subprocess
import sys


def f32(x):
    """Rounds a double to single precision, as storing into a float field does."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


PALETTE = [(0.2, 0.5, 1.0), (0.1, 0.1, 1.0), (0.3, 0.3, 1.0),
           (1.0, 0.1, 0.1), (1.0, 0.5, 0.1), (1.0, 1.0, 0.1)]
PALETTE = [tuple(f32(c) for c in row) for row in PALETTE]
STEPS = [(0.01, 0.02, 0.03), (0.04, 0.05, 0.06), (0.03, 0.05, 0.01)]
AMP_Z = [70.0, 65.0, 80.0]
VEL_MOD = [120, 240, 1000]
LIVE, CAPACITY = 10000, 20000

# Field order of the dump: active life fade r g b px py pz vx vy vz gx gy gz
ACTIVE, LIFE, FADE, R, G, B, PX, PY, PZ, VX, VY, VZ, GX, GY, GZ = range(15)


class Model:
    def __init__(self):
        self.state = 1
        self.phases = [[0.0, 0.0, 0.0] for _ in range(3)]
        self.particles = []
        for _ in range(3):
            records = []
            for _ in range(CAPACITY):
                p = [1, f32(0.0001), 0.0, *PALETTE[0], 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0]
                p[FADE] = f32((self.rand() % 100) * 0.001 + 0.003)
                p[VX] = f32(((self.rand() % 50) - 26) * 10.0)
                p[VY] = f32(((self.rand() % 50) - 25) * 10.0)
                p[VZ] = f32(((self.rand() % 50) - 25) * 10.0)
                records.append(p)
            self.particles.append(records)

    def rand(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF

    def frame(self):
        for e in range(3):
            self.phases[e] = [f32(self.phases[e][i] + STEPS[e][i]) for i in range(3)]
        for e in range(3):
            px, py, pz = self.phases[e]
            for p in self.particles[e][:LIVE]:
                p[PX] = f32(p[PX] + p[VX] / 2000.0)
                p[PY] = f32(p[PY] + p[VY] / 2000.0)
                p[PZ] = f32(p[PZ] + p[VZ] / 2000.0)
                p[VX] = f32(p[VX] + p[GX])
                p[VY] = f32(p[VY] + p[GY])
                p[VZ] = f32(p[VZ] + p[GZ])
                p[LIFE] = f32(p[LIFE] - p[FADE])
                if p[LIFE] < 0.0:
                    p[LIFE] = 1.0
                    p[FADE] = f32((self.rand() % 100) * 0.0002 + 0.003)
                    p[PX] = f32(20.0 * math.sin(px))
                    p[PY] = f32(10.0 * math.cos(py))
                    p[PZ] = f32(AMP_Z[e] * math.cos(pz) - 50.0)
                    m = VEL_MOD[e]
                    p[VX] = f32((self.rand() % m) - m / 2)
                    p[VY] = f32((self.rand() % m) - m / 2)
                    p[VZ] = f32((self.rand() % 60) - 30.0)
                    if e == 0:
                        p[R], p[G], p[B] = PALETTE[0]
                    else:
                        first = 3 if e == 1 else 0
                        p[R] = PALETTE[first + self.rand() % 3][0]
                        p[G] = PALETTE[first + self.rand() % 3][1]
                        p[B] = PALETTE[first + self.rand() % 3][2]
                    p[GY] = 0.0

    def dump(self):
        g = lambda x: "%.9g" % x
        yield "rng %d" % self.state
        for e in range(3):
            yield "phase %d %s" % (e + 1, " ".join(g(x) for x in self.phases[e]))
        for e in range(3):
            for i, p in enumerate(self.particles[e]):
                yield "p %d %d %d %s" % (e + 1, i, p[ACTIVE], " ".join(g(x) for x in p[1:]))


def main():
    tool, counts = sys.argv[1], sorted(int(n) for n in sys.argv[2:])
    model = Model()
    done = 0
    for n in counts:
        while done < n:
            model.frame()
            done += 1
        actual = subprocess.run([tool, str(n)], check=True, capture_output=True,
                                text=True).stdout.splitlines()
        expected = list(model.dump())
        if actual != expected:
            bad = next((i for i, (a, b) in enumerate(zip(actual, expected)) if a != b),
                       min(len(actual), len(expected)))
            print("after %d frames, line %d differs:" % (n, bad + 1))
            print("  particle-dump: %s" % (actual[bad] if bad < len(actual) else "<none>"))
            print("  model:         %s" % (expected[bad] if bad < len(expected) else "<none>"))
            return 1
        print("after %d frames: %d lines agree" % (n, len(actual)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
