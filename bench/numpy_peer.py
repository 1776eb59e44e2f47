#!/usr/bin/python3
"""What a capable user would write in numpy for three of pqwave's outputs, as the yardstick of
their speed: the channel FFT, the moving FFT and the interval RMS table of the benchmarks'
recording (write_bench_recording), with the same files, lines, columns and number forms as far
as numpy allows. The spectra are worked out in double precision (numpy's FFT), so the last
digits differ from pqwave's single-precision transform; the shapes and the forms do not.

    numpy_peer.py channel-fft RECORDING OUT.csv
    numpy_peer.py moving-fft RECORDING OUT.csv      (writes OUTch1.csv .. OUTch16.csv)
    numpy_peer.py rms RECORDING OUT.csv

The recording is read as its layout stands: a 17 x 512-byte header, then 16 big-endian 16-bit
codes per sample; channels 1-2 on the 100 V range, 3-16 on 50 mV (the scale is the range per
division), 1600 codes per division, 2 kHz."""
import math
import sys

import numpy as np

HEADER_BYTES = 17 * 512
CHANNELS = 16
SCALES = np.array([100, 100] + [0.05] * 14, dtype=np.float32)
COUNTS_PER_DIVISION = 1600.0
SAMPLING_HZ = 2000.0
KPI = 3.14159  # the phase's own approximation of pi


def read_codes(path):
    return np.fromfile(path, dtype='>i2', offset=HEADER_BYTES).reshape(-1, CHANNELS).astype(np.int16)


def general(value, digits):
    """C's %G with that many digits, E+dd exponents, no "-0"."""
    text = '%.*G' % (digits, value)
    return '0' if text == '-0' else text


def print_form(value):
    """The print form: a sign position, no 0 before the point, a trailing space."""
    text = general(abs(value), 15)
    if text.startswith('0.'):
        text = text[1:]
    return ('-' if value < 0 else ' ') + text + ' '


def channel_fft(path, out):
    codes = read_codes(path)
    n = 1 << min(16, int(math.floor(math.log2(len(codes)))))
    x = (codes[:n].astype(np.float32) * SCALES).astype(np.float64) / COUNTS_PER_DIVISION / n
    spectrum = np.fft.rfft(x, axis=0)  # bins 0 .. n/2, one column per channel
    s = 2 * spectrum.real
    d = -2 * spectrum.imag
    s[0], d[0] = spectrum[0].real, -spectrum[0].imag
    amplitude = np.sqrt(s * s + d * d)
    phase = np.floor((np.arctan(s / (d + 1e-20)) + np.where(d < 0, KPI, 0)) * 180 / KPI).astype(np.int64)
    table = np.empty((len(s), 2 * CHANNELS))
    table[:, 0::2] = amplitude
    table[:, 1::2] = phase
    row = ','.join(['%.7G', '%d'] * CHANNELS)
    with open(out, 'w', encoding='cp932', newline='\r\n') as f:
        f.write('2024/05/06,13:45:30\n')
        f.write('Hz' + ''.join(',ch%d,θ%d' % (c, c) for c in range(1, CHANNELS + 1)) + '\n')
        hz = SAMPLING_HZ / n
        for k, values in enumerate(table):
            f.write(print_form(hz * k) + ',' + row % tuple(values) + '\n')


def moving_fft(path, out, exponent=8, step_ms=10.0, low_khz=0.05, high_khz=1.0, record_seconds=500.0):
    codes = read_codes(path)
    n = 1 << exponent
    window_ms = 1000 / SAMPLING_HZ * n
    windows = int(math.floor((record_seconds * 1000 - window_ms) / step_ms))
    starts = np.rint(SAMPLING_HZ * step_ms * np.arange(windows) / 1000).astype(np.int64)
    starts = starts[starts + n <= len(codes)]
    delta = 1 / window_ms
    first, last = int(low_khz // delta) + 1, min(n // 2, int(high_khz // delta) - 1)
    bins = np.arange(first, last + 1)
    header = 'ms,オーバー' + ''.join(',%skHz' % general(k / window_ms, 15) for k in bins)
    frames = starts[:, None] + np.arange(n)
    stem = out.rsplit('/', 1)
    name = stem[-1].split('.')[0]
    folder = stem[0] + '/' if len(stem) > 1 else ''
    fmt = ['%.15G', '%d'] + ['%.7G'] * len(bins)
    for c in range(CHANNELS):
        column = codes[:, c]
        x = (column.astype(np.float32) * SCALES[c]).astype(np.float64) / COUNTS_PER_DIVISION / n
        spectrum = np.fft.rfft(x[frames], axis=1)[:, bins]
        table = np.empty((len(starts), 2 + len(bins)))
        table[:, 0] = np.arange(len(starts)) * step_ms
        table[:, 1] = np.any(np.abs(column[frames].astype(np.int32)) >= 2047, axis=1)
        table[:, 2:] = 2 * np.abs(spectrum)
        with open('%s%sch%d.csv' % (folder, name, c + 1), 'w', encoding='cp932', newline='') as f:
            np.savetxt(f, table, fmt=fmt, delimiter=',', newline='\r\n', header=header, comments='')


def rms(path, out, interval_ms=20.0, pt=60.0, clamp=200.0):
    codes = read_codes(path)
    per_interval = int(round(SAMPLING_HZ * interval_ms / 1000))
    intervals = len(codes) // per_interval
    v = (codes[:intervals * per_interval].astype(np.float32) * SCALES).astype(np.float64)
    v = v.reshape(intervals, per_interval, CHANNELS)
    v1, v2 = v[:, :, 0], v[:, :, 1]
    vd = COUNTS_PER_DIVISION
    volts = np.sqrt((v1 * v1 + v2 * v2 + (v1 - v2) ** 2).sum(axis=1) / 3 / per_interval) / vd * pt
    a, b = v[:, :, 2::2], v[:, :, 3::2]
    t = a + b
    amps = np.sqrt((a * a + b * b + t * t).sum(axis=1) / 3 / per_interval) / vd * clamp / 0.2
    vv = (v1 + v2) / -3
    vu, vw = v1 + vv, v2 + vv
    p = ((vu[:, :, None] * a - t * vv[:, :, None] + vw[:, :, None] * b).sum(axis=1) / per_interval / vd**2 * pt *
         clamp / 0.2 / 1000)
    q = ((-v2[:, :, None] * a + (v1 - v2)[:, :, None] * t + v1[:, :, None] * b).sum(axis=1) / per_interval / vd**2 *
         pt * clamp * (math.sqrt(3) * 5 / 3 / 1000))
    circuits = a.shape[2]
    table = np.empty((intervals, 2 + 3 * circuits))
    table[:, 0] = np.arange(intervals) * interval_ms / 1000
    table[:, 1] = volts
    table[:, 2:2 + circuits] = amps
    table[:, 2 + circuits::2] = p
    table[:, 3 + circuits::2] = q
    first = '2024/05/06,13:45:30,PT=60' + ''.join(',ｸﾗﾝﾌﾟ%d=200' % (c + 1) for c in range(circuits))
    header = ('秒,V(V)' + ''.join(',I%d(A)' % (c + 1) for c in range(circuits)) +
              ''.join(',P%d(kW),Q%d(kVar)' % (c + 1, c + 1) for c in range(circuits)))
    fmt = ['%.15G', ' %.7G '] + ['%.7G'] * (3 * circuits)
    with open(out, 'w', encoding='cp932', newline='') as f:
        np.savetxt(f, table, fmt=fmt, delimiter=',', newline='\r\n', header=first + '\r\n' + header, comments='')


if __name__ == '__main__':
    if len(sys.argv) != 4 or sys.argv[1] not in ('channel-fft', 'moving-fft', 'rms'):
        sys.exit(__doc__)
    {'channel-fft': channel_fft, 'moving-fft': moving_fft, 'rms': rms}[sys.argv[1]](sys.argv[2], sys.argv[3])
