#!/usr/bin/env python3
"""Reference figures for the review model's table test (ReviewModelTest.cpp).

An independent computation of FSRS-5 with its default parameters, written from the model's
published formulas, not from the C++ code. Run it to print the rows the test's table holds:
grade sequence with the days between reviews, then stability, difficulty and the interval at
retention 0.90 (and 0.80) after the last review.
"""
import math

W = [0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046, 1.54575,
     0.1192, 1.01925, 1.9395, 0.11, 0.29605, 2.2698, 0.2315, 2.9898, 0.51655, 0.6621]
F, C = 19 / 81, -0.5


def d0(g):
    return W[4] - math.exp(W[5] * (g - 1)) + 1


def review(state, g, t):
    if state is None:
        return min(max(d0(g), 1), 10), W[g - 1]
    d, s = state
    if t == 0:
        s2 = s * math.exp(W[17] * (g - 3 + W[18]))
    else:
        r = (1 + F * t / s) ** C
        if g == 3:
            s2 = s * (1 + math.exp(W[8]) * (11 - d) * s ** -W[9] * (math.exp(W[10] * (1 - r)) - 1))
        else:
            s2 = W[11] * d ** -W[12] * ((s + 1) ** W[13] - 1) * math.exp(W[14] * (1 - r))
            s2 = min(max(s2, 0.01), s / math.exp(W[17] * W[18]))
    nd = d - W[6] * (g - 3) * (10 - d) / 9
    nd = W[7] * d0(4) + (1 - W[7]) * nd
    return min(max(nd, 1), 10), max(s2, 0.01)


def interval(s, r):
    return min(max(round(s / F * (r ** (1 / C) - 1)), 1), 36500)


SEQUENCES = [
    [(3, 0)],
    [(1, 0)],
    [(3, 0), (3, 3)],
    [(1, 0), (3, 1)],
    [(1, 0), (3, 1), (3, 3), (3, 8)],
    [(3, 0), (3, 3), (1, 10)],
    [(1, 0), (1, 0), (3, 0)],
    [(3, 0), (3, 3), (3, 11), (3, 35)],
    [(1, 0), (3, 1), (1, 2), (3, 1), (3, 2)],
]

for seq in SEQUENCES:
    state = None
    for g, t in seq:
        state = review(state, g, t)
    d, s = state
    print(seq, "S=%.4f D=%.4f I90=%d I80=%d" % (s, d, interval(s, 0.9), interval(s, 0.8)))
