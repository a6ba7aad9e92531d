"""A year of hourly temperatures for the chart server's database.

Every catalogue station gets a reading at every full hour of Ljubljana's wall
clock from midnight 365 days before the generation moment up to the moment
itself. Each day follows the place's climate from demoweather.py (its monthly
normals, shifted by altitude, and the place's own small offsets), shifted by a
weather anomaly that wanders over a few days and is shared by the whole country
with a little of each zone's own; cloudy days have a smaller diurnal range.
Through the day the temperature is lowest at six and highest at three in the
afternoon. Each hour adds a little noise, and about three hours in a hundred
are missing, as when a station's upload fails.

The days are computed in Python (a few thousand values); the hours are made by
SQLite itself from them in one INSERT ... SELECT, which keeps the six hundred
thousand rows fast. Noise and gaps come from a hash of the station and the
hour, and the anomalies are seeded by date, so a reading is the same whenever
the database is generated.
"""

import math
import os
import random
import sqlite3
from datetime import timedelta

import demoweather as dw

SCHEMA = """
CREATE TABLE stations(station_kind INTEGER, station_code INTEGER, name TEXT,
                      PRIMARY KEY(station_kind, station_code));
CREATE TABLE readings(station_kind INTEGER NOT NULL, station_code INTEGER NOT NULL,
                      at TEXT NOT NULL, temperature REAL NOT NULL,
                      PRIMARY KEY(station_kind, station_code, at)) WITHOUT ROWID;
"""

DAYS = 365
MISSING_PER_MILLE = 30
# Stations that stopped reporting, as the feed shows them: hours before the
# generation moment.
SILENT = {"Park Škocj. jame": 40, "Mekotnjak": 3.2}


def diurnal(hour):
    """-1 at 6:00, +1 at 15:00: a half wave up through the day, a slower one down
    through the night."""
    if 6 <= hour <= 15:
        return -math.cos(math.pi * (hour - 6) / 9)
    return math.cos(math.pi * ((hour - 15) % 24) / 15)


def country_anomalies(first, count):
    """Shift of the daily mean from the climate, day by day: a random value per
    date (seeded by the date), smoothed over three days so that warm and cold
    spells last."""
    raw = [random.Random(f"sinoptika:{first + timedelta(days=i)}").gauss(0, 3.2)
           for i in range(-2, count)]
    return [(raw[i] + 2 * raw[i + 1] + raw[i + 2]) / 4 for i in range(count)]


def zone_days(zone, first, count):
    """(own anomaly, diurnal range factor) of the zone, day by day."""
    out = []
    for i in range(count):
        rnd = random.Random(f"{zone}:{first + timedelta(days=i)}")
        out.append((rnd.gauss(0, 0.8), dw.damping(rnd.random(), 0.0)))
    return out


def spring_gap(day):
    """The hour that Ljubljana's clock skips on `day` (2 on the last Sunday of
    March), or -1."""
    return 2 if day.month == 3 and day.weekday() == 6 and day.day >= 25 else -1


def write(path, now, stations):
    """Writes the database to `path` (replaced atomically). `now` is the aware
    generation moment in Ljubljana time; `stations` holds (kind, code, name,
    zone, altitude) tuples."""
    stations = sorted(stations)  # the table's key order: inserts append
    today = now.date()
    first = today - timedelta(days=DAYS)
    count = DAYS + 1
    dates = [first + timedelta(days=i) for i in range(count)]
    country = country_anomalies(first, count)
    zones = {zone: zone_days(zone, first, count) for zone in dw.ZONE_CLIMATE}
    winter = [dw.winterness(d) for d in dates]
    normals = {zone: [(dw.monthly(tmax, d), dw.monthly(tmin, d)) for d in dates]
               for zone, (_, tmax, tmin) in dw.ZONE_CLIMATE.items()}

    daily = []
    for kind, code, name, zone, alt in stations:
        own = dw.place_seed(dw.place_key(name))
        off_mean, off_range = own.uniform(-0.7, 0.7), own.uniform(0.9, 1.1)
        amplitude = 0.35 if name == "Piran-ocean. boja" else 1.0
        ref = dw.ZONE_CLIMATE[zone][0]
        dz = alt - ref
        means, halves = [], []
        for i in range(count):
            cmax, cmin = normals[zone][i]
            if zone == "gore":
                cmax, cmin = cmax - 0.0055 * dz, cmin - 0.0055 * dz
            else:  # demoweather's altitude_shift, inlined for speed
                w = winter[i]
                cmax, cmin = cmax - (0.0065 - 0.0025 * w) * dz, cmin - (0.005 - 0.003 * w) * dz
            zone_shift, damp = zones[zone][i]
            means.append((cmax + cmin) / 2 + off_mean + country[i] + zone_shift)
            halves.append((cmax - cmin) / 2 * off_range * damp * amplitude)
        # The mean drifts through the day towards the next day's, so that
        # midnight brings no step.
        for i, d in enumerate(dates):
            slope = (means[min(i + 1, count - 1)] - means[max(i - 1, 0)]) / 2
            daily.append((kind, code, d.toordinal(), d.isoformat(), spring_gap(d), means[i],
                          slope, halves[i]))

    temporary = path + ".tmp"
    if os.path.exists(temporary):
        os.remove(temporary)
    db = sqlite3.connect(temporary, isolation_level=None)
    try:
        db.executescript("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                         "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-65536;" + SCHEMA)
        db.execute("BEGIN")
        db.executemany("INSERT INTO stations VALUES (?, ?, ?)",
                       [(kind, code, name) for kind, code, name, _, _ in stations])
        db.execute("CREATE TEMP TABLE daily(kind, code, ordinal, date, gap, mean, slope, half)")
        db.executemany("INSERT INTO temp.daily VALUES (?, ?, ?, ?, ?, ?, ?, ?)", daily)
        db.execute("CREATE TEMP TABLE hours(hour, clock, ramp, shape)")
        db.executemany("INSERT INTO temp.hours VALUES (?, ?, ?, ?)",
                       [(h, f" {h:02d}:00:00", (h - 12) / 24, diurnal(h)) for h in range(24)])
        # h: a hash of (station, hour), a multiplicative step and the middle
        # bits of its square (consecutive hours would otherwise step evenly),
        # kept below 2^63 so that SQLite stays with integers. Its bits give the
        # noise (-0.5 to +0.4 degrees) and the gaps. Rounding to tenths through
        # an integer is much faster than round().
        db.execute(f"""
            INSERT INTO readings
            SELECT kind, code, date || clock,
                   (CAST((mean + slope * ramp + half * shape) * 10 + h / 256 % 10 + 9995.5
                         AS INTEGER) - 10000) / 10.0
            FROM (SELECT kind, code, date, clock, mean, slope, ramp, half, shape,
                         step * step / 1048576 % 2147483648 AS h
                  FROM (SELECT *, ((kind * 1000 + code) * 1000003 + ordinal * 24 + hour)
                                  % 2147483648 * 1103515245 % 2147483648 AS step
                        FROM temp.daily CROSS JOIN temp.hours
                        WHERE hour != gap AND (ordinal < ? OR hour <= ?)))
            WHERE h / 262144 % 1000 >= {MISSING_PER_MILLE}
            """, (today.toordinal(), now.hour))
        for kind, code, name, _, _ in stations:
            if name in SILENT:
                last = (now - timedelta(hours=SILENT[name])).strftime("%Y-%m-%d %H:%M:%S")
                db.execute("DELETE FROM readings WHERE station_kind = ? AND station_code = ? "
                           "AND at > ?", (kind, code, last))
        db.execute("COMMIT")
    finally:
        db.close()
    os.replace(temporary, path)
