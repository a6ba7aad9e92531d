"""The weather story of the demo deployment and the model that tells it.

One situation, replayed at any date: a cold front nears from the west. Today
it rains in the west (showers and thunderstorms in the warm season, snow in the
mountains or lower in the cold one), the north-east is still sunny, jugo blows
on the coast. The front crosses at night; tomorrow it clears from the west with
bora and a cooler north wind; then high pressure brings two sunny days (with
fog in the basins in the cold season) and slowly warmer weather.

Temperatures come from each place's climate (monthly mean daily maximum and
minimum) on the date, shifted by the situation of the day, with a diurnal range
that cloud and rain damp, and a diurnal cycle (minimum at sunrise, maximum in
mid-afternoon). Humidity, wind, gusts and the felt temperature follow from the
temperature and the weather description. Randomness is seeded by place only, so
two runs at the same moment give the same output.
"""

import math
import os
import random
import re
from datetime import date, datetime, timedelta, timezone
from zoneinfo import ZoneInfo

LJUBLJANA_ZONE = ZoneInfo("Europe/Ljubljana")
LJUBLJANA = (46.05, 14.51)  # latitude, longitude

# --------------------------------------------------------------------------
# Time


def generation_moment():
    """The moment of generation as an aware date-time in Ljubljana time.

    NIMBULON_DEMO_NOW fixes it (ISO 8601; without an offset it is read as
    Ljubljana wall time), so any season and hour can be looked at."""
    fixed = os.environ.get("NIMBULON_DEMO_NOW", "").strip()
    if fixed:
        try:
            t = datetime.fromisoformat(fixed)
        except ValueError:
            raise SystemExit(f"make-deployment: NIMBULON_DEMO_NOW is not an ISO 8601 date-time: "
                             f"{fixed}")
        if t.tzinfo is None:
            t = t.replace(tzinfo=LJUBLJANA_ZONE)
    else:
        t = datetime.now(timezone.utc)
    return t.astimezone(LJUBLJANA_ZONE).replace(microsecond=0)


def earlier(t, **delta):
    """`t` minus a duration of real time, in t's zone (safe across DST changes)."""
    return (t.astimezone(timezone.utc) - timedelta(**delta)).astimezone(t.tzinfo)


def floor_minutes(t, step):
    return t.replace(minute=t.minute - t.minute % step, second=0, microsecond=0)


def solar_events(day, lat, lon):
    """Sunrise, solar noon and sunset on `day` at (lat, lon), in hours after
    00:00 UTC of that date."""
    n = day.timetuple().tm_yday
    g = 2 * math.pi / 365 * (n - 1)
    eqtime = 229.18 * (0.000075 + 0.001868 * math.cos(g) - 0.032077 * math.sin(g)
                       - 0.014615 * math.cos(2 * g) - 0.040849 * math.sin(2 * g))
    decl = (0.006918 - 0.399912 * math.cos(g) + 0.070257 * math.sin(g)
            - 0.006758 * math.cos(2 * g) + 0.000907 * math.sin(2 * g)
            - 0.002697 * math.cos(3 * g) + 0.00148 * math.sin(3 * g))
    phi = math.radians(lat)
    cos_ha = (math.cos(math.radians(90.833)) / (math.cos(phi) * math.cos(decl))
              - math.tan(phi) * math.tan(decl))
    ha = math.degrees(math.acos(max(-1.0, min(1.0, cos_ha))))
    noon = (720 - 4 * lon - eqtime) / 60
    return noon - 4 * ha / 60, noon, noon + 4 * ha / 60


def sun_times(day):
    """Sunrise and sunset over Ljubljana on `day`, aware, in Ljubljana time."""
    rise, _, sets = solar_events(day, *LJUBLJANA)
    midnight = datetime(day.year, day.month, day.day, tzinfo=timezone.utc)
    return tuple((midnight + timedelta(hours=h)).astimezone(LJUBLJANA_ZONE) for h in (rise, sets))


def day_of_year(day):
    return day.timetuple().tm_yday


def winterness(day):
    """1 in mid-January, 0 in mid-July."""
    return (1 + math.cos(2 * math.pi * (day_of_year(day) - 15) / 365.25)) / 2


def monthly(values, day):
    """A monthly normal on `day`, interpolated between the middles of the months."""
    x = (day_of_year(day) - 15.5) / 30.44
    i = math.floor(x)
    f = x - i
    return values[i % 12] * (1 - f) + values[(i + 1) % 12] * f


# --------------------------------------------------------------------------
# Climate: monthly mean daily maximum and minimum, January to December, at a
# reference station of each zone (altitude in metres).

ZONE_CLIMATE = {
    "osrednja": (299, [3.9, 6.8, 11.9, 16.5, 21.2, 25.0, 27.3, 26.9, 21.5, 15.6, 9.3, 4.2],
                 [-3.2, -2.5, 1.0, 5.0, 9.6, 13.4, 15.0, 14.7, 10.8, 7.0, 2.7, -1.9]),
    "obala": (2, [9.6, 10.6, 13.9, 17.6, 22.2, 26.3, 29.1, 28.8, 24.1, 19.3, 14.3, 10.3],
              [2.4, 2.4, 5.2, 8.6, 12.9, 16.7, 18.8, 18.6, 14.7, 11.0, 7.0, 3.4]),
    "zahod": (113, [8.2, 10.1, 14.1, 18.1, 22.8, 26.8, 29.5, 29.2, 24.2, 18.7, 12.7, 8.7],
              [-0.3, 0.2, 3.6, 7.3, 11.6, 15.3, 17.2, 16.9, 13.0, 9.1, 4.9, 0.8]),
    "notranjska": (533, [3.4, 5.2, 9.7, 14.0, 18.8, 22.6, 25.2, 25.0, 19.8, 14.8, 8.8, 4.1],
                   [-4.1, -3.8, -0.8, 3.1, 7.5, 11.1, 12.7, 12.4, 8.7, 5.3, 1.6, -2.8]),
    "gorenjska": (515, [3.2, 5.9, 10.6, 15.1, 19.9, 23.6, 25.9, 25.4, 20.2, 14.7, 8.4, 3.6],
                  [-5.2, -4.6, -1.0, 3.1, 7.8, 11.4, 13.0, 12.8, 9.0, 5.1, 0.8, -3.9]),
    "koroska": (455, [2.2, 5.2, 10.4, 15.2, 20.0, 23.5, 25.6, 25.2, 20.0, 14.2, 8.0, 2.6],
                [-6.3, -5.4, -1.7, 2.7, 7.5, 11.3, 12.9, 12.7, 8.7, 4.5, 0.3, -4.6]),
    "dolenjska": (220, [4.3, 7.3, 12.4, 17.2, 22.0, 25.7, 28.0, 27.7, 22.3, 16.4, 10.0, 4.8],
                  [-4.0, -3.3, 0.1, 4.3, 9.1, 12.8, 14.4, 14.0, 10.0, 6.0, 1.8, -2.7]),
    "stajerska": (275, [3.8, 6.7, 11.9, 16.9, 21.6, 25.1, 27.3, 27.0, 21.5, 15.7, 9.2, 4.3],
                  [-3.2, -2.5, 1.0, 5.4, 10.0, 13.8, 15.4, 15.0, 11.0, 6.7, 2.4, -1.8]),
    "prekmurje": (188, [3.1, 6.2, 11.9, 17.3, 22.1, 25.7, 27.8, 27.5, 21.9, 15.7, 9.1, 3.7],
                  [-4.4, -3.8, 0.0, 4.5, 9.2, 13.0, 14.5, 14.0, 10.0, 5.8, 1.8, -2.8]),
    "gore": (2515, [-5.3, -5.6, -3.3, -0.5, 3.6, 7.3, 9.7, 9.9, 5.9, 2.5, -1.6, -4.4],
             [-11.4, -12.0, -9.8, -6.6, -2.3, 1.1, 3.3, 3.5, 0.1, -2.9, -7.0, -10.1]),
}

# Rough position of each zone, for the sun's course.
ZONE_LONGITUDE = {"obala": 13.7, "zahod": 13.7, "notranjska": 14.2, "gorenjska": 14.1,
                  "osrednja": 14.5, "dolenjska": 15.1, "stajerska": 15.4, "prekmurje": 16.2,
                  "koroska": 15.0, "gore": 14.0}

FREE_LAPSE = 0.0065  # K per metre in the free atmosphere


def altitude_shift(zone, alt, day):
    """Change of (max, min) from the zone's reference station to altitude `alt`.

    Valleys collect cold air in winter nights, so below the mountains the
    minimum falls slowly with height then, the maximum faster."""
    ref = ZONE_CLIMATE[zone][0]
    dz = alt - ref
    if zone == "gore":
        return -0.0055 * dz, -0.0055 * dz
    w = winterness(day)
    return -(0.0065 - 0.0025 * w) * dz, -(0.005 - 0.003 * w) * dz


# --------------------------------------------------------------------------
# The situation, day by day (0 is today). Per zone: shift of the daily mean
# temperature from the climate, and the sky (cloud fraction, how wet).

ANOMALY = {
    -1: dict(obala=1.0, zahod=0.5, notranjska=0.5, gorenjska=1.0, osrednja=1.0, dolenjska=1.5,
             stajerska=1.5, prekmurje=1.5, koroska=1.0, gore=2.0),
    0: dict(obala=1.5, zahod=1.0, notranjska=1.0, gorenjska=1.5, osrednja=1.5, dolenjska=2.0,
            stajerska=2.0, prekmurje=2.0, koroska=1.5, gore=2.5),
    1: dict(obala=-2.5, zahod=-2.5, notranjska=-2.5, gorenjska=-2.0, osrednja=-1.5,
            dolenjska=-1.5, stajerska=-1.0, prekmurje=-1.0, koroska=-1.5, gore=-4.0),
    2: dict(obala=-2.0, zahod=-2.0, notranjska=-2.0, gorenjska=-2.0, osrednja=-2.0,
            dolenjska=-2.0, stajerska=-2.0, prekmurje=-2.0, koroska=-2.0, gore=-2.5),
    3: dict(obala=-0.5, zahod=-0.5, notranjska=-0.5, gorenjska=-0.5, osrednja=-0.5,
            dolenjska=-0.5, stajerska=-0.5, prekmurje=-0.5, koroska=-0.5, gore=0.5),
    4: dict(obala=0.5, zahod=0.5, notranjska=0.5, gorenjska=0.5, osrednja=0.5, dolenjska=0.5,
            stajerska=0.5, prekmurje=0.5, koroska=0.5, gore=1.5),
}

SKY = {
    0: dict(obala=(0.85, 0.3), zahod=(0.95, 1.0), notranjska=(0.95, 0.8), gorenjska=(0.85, 0.2),
            osrednja=(0.75, 0.0), dolenjska=(0.55, 0.0), stajerska=(0.4, 0.0),
            prekmurje=(0.25, 0.0), koroska=(0.6, 0.0), gore=(1.0, 0.8)),
    1: dict(obala=(0.5, 0.1), zahod=(0.6, 0.3), notranjska=(0.75, 0.4), gorenjska=(0.8, 0.5),
            osrednja=(0.85, 0.7), dolenjska=(0.9, 0.8), stajerska=(0.9, 0.8),
            prekmurje=(0.9, 0.6), koroska=(0.9, 0.8), gore=(0.8, 0.6)),
    2: {zone: (0.1, 0.0) for zone in ZONE_CLIMATE},
    3: {zone: (0.3, 0.0) for zone in ZONE_CLIMATE},
    4: {zone: (0.4, 0.0) for zone in ZONE_CLIMATE},
}
SKY[-1] = SKY[0]

# Below the mountains and away from the sea.
LOWLAND_ZONES = ("zahod", "notranjska", "gorenjska", "osrednja", "dolenjska", "stajerska",
                 "prekmurje", "koroska")

# Zones whose basins and plains fill with fog under high pressure in the cold season.
FOGGY_ZONES = ("osrednja", "dolenjska", "stajerska", "prekmurje", "koroska")


def fog_days(day):
    """0: no fog under high pressure; 1: fog in the morning; 2: fog that stays all day."""
    w = winterness(day)
    return 2 if w > 0.8 else 1 if w > 0.5 else 0


def damping(cloud, wet, persistent_fog=False):
    """Factor on the climate's mean diurnal range: clear days swing more than the
    average day, overcast and rainy days much less."""
    f = 1.25 - 0.75 * cloud - 0.12 * wet
    return max(0.2, f - (0.3 if persistent_fog else 0.0))


# --------------------------------------------------------------------------
# Places


class Place:
    """A point whose temperature follows its climate, the days' situation and the sun."""

    def __init__(self, key, lat, lon, normals, anomaly, sky, amplitude=1.0):
        self.key, self.lat, self.lon = key, lat, lon
        self._normals, self._anomaly, self._sky = normals, anomaly, sky
        self.amplitude = amplitude
        self._days = {}

    def normals(self, day):
        return self._normals(day)

    def day(self, today, k):
        """(minimum, maximum, sunrise, peak, sunset, cloud) of day k after
        `today`; the times are hours after 00:00 UTC of `today`."""
        if k not in self._days:
            day = today + timedelta(days=k)
            cmax, cmin = self._normals(day)
            cloud, wet, fog = self._sky(k, day)
            mean = (cmax + cmin) / 2 + self._anomaly(k, day)
            half = (cmax - cmin) / 2 * damping(cloud, wet, fog) * self.amplitude
            rise, noon, sets = solar_events(day, self.lat, self.lon)
            length = sets - rise
            peak = min(max(noon + 1.2 + 0.1 * length, rise + 1.0), sets - 0.5)
            self._days[k] = (mean - half, mean + half, rise + 24 * k, peak + 24 * k,
                             sets + 24 * k, cloud)
        return self._days[k]

    def temperature(self, today, hours):
        """Temperature `hours` after 00:00 UTC of `today`, and how far the day's
        warming has gone (0 at the minimum, 1 at the maximum)."""
        k = math.floor(hours / 24)
        while hours > self.day(today, k)[4]:
            k += 1
        while hours <= self.day(today, k - 1)[4]:
            k -= 1
        tmin, tmax, rise, peak, sets, cloud = self.day(today, k)
        if hours >= rise:
            if hours <= peak:
                x = math.sin(math.pi / 2 * (hours - rise) / (peak - rise))
                return tmin + (tmax - tmin) * x, x
            t_set = self.sunset_temperature(today, k)
            x = math.cos(math.pi / 2 * (hours - peak) / (sets - peak))
            t = t_set + (tmax - t_set) * x
            return t, (t - tmin) / (tmax - tmin) if tmax > tmin else 0.5
        # The night before day k: cooling from the last sunset towards the
        # minimum, fast under a clear sky, evenly under cloud.
        prev_set, prev_cloud = self.day(today, k - 1)[4:6]
        t_set = self.sunset_temperature(today, k - 1)
        n, length, b = hours - prev_set, rise - prev_set, 0.8 + 2.0 * (1 - prev_cloud)
        x = (math.exp(-b * n / length) - math.exp(-b)) / (1 - math.exp(-b))
        return tmin + (t_set - tmin) * x, 0.0

    def sunset_temperature(self, today, k):
        tmin, tmax = self.day(today, k)[:2]
        next_min = self.day(today, k + 1)[0]
        return tmax - 0.3 * max(0.0, tmax - next_min) - 0.1 * (tmax - tmin)


# --------------------------------------------------------------------------
# Weather descriptions: cloud fraction and what falls.

WORDS = {
    "jasno": (0.0, "dry"), "pretežno jasno": (0.15, "dry"), "rahlo oblačno": (0.3, "dry"),
    "delno oblačno": (0.45, "dry"), "zmerno oblačno": (0.6, "dry"),
    "pretežno oblačno": (0.8, "dry"), "oblačno": (1.0, "dry"),
    "megla": (1.0, "fog"), "megla v pasovih": (0.7, "fog"), "megla v okolici": (0.6, "fog"),
    "rosi": (1.0, "drizzle"), "rahlo rosi": (1.0, "drizzle"),
    "rahlo dežuje": (1.0, "rain"), "dežuje": (1.0, "rain"), "močno dežuje": (1.0, "rain"),
    "dežuje, megla": (1.0, "rainfog"),
    "manjša ploha": (0.7, "shower"), "ploha": (0.8, "shower"), "snežna ploha": (0.8, "snow"),
    "nevihta": (0.9, "storm"), "grmi": (0.9, "storm"), "po nevihti": (0.7, "after"),
    "rahlo sneži": (1.0, "snow"), "sneži": (1.0, "snow"), "močno sneži": (1.0, "snow"),
    "sneg z dežjem": (1.0, "sleet"),
}

WET = ("drizzle", "rain", "rainfog", "shower", "storm", "snow", "sleet")

# Fog that forms in clear calm nights and lifts in the day; fog on a hill in
# the clouds of the front stays.
RADIATION_FOG = {"megla v pasovih": "delno oblačno", "megla v okolici": "zmerno oblačno"}

NO_STORMS = {"nevihta": "dežuje", "grmi": "dežuje", "po nevihti": "oblačno"}
# Drizzle falls from low stratus in the cool season; summer rain comes in drops.
NO_DRIZZLE = {"rosi": "rahlo dežuje", "rahlo rosi": "oblačno"}
NO_SHOWERS = {"ploha": "rahlo dežuje", "manjša ploha": "rahlo dežuje"}
AS_SNOW = {"rahlo dežuje": "rahlo sneži", "dežuje": "sneži", "močno dežuje": "močno sneži",
           "dežuje, megla": "sneži", "ploha": "snežna ploha", "manjša ploha": "rahlo sneži",
           "nevihta": "sneži", "grmi": "sneži", "sneg z dežjem": "sneži",
           "rosi": "megla", "rahlo rosi": "megla"}
AS_SLEET = {"rahlo dežuje": "sneg z dežjem", "dežuje": "sneg z dežjem",
            "močno dežuje": "sneg z dežjem", "dežuje, megla": "sneg z dežjem",
            "ploha": "sneg z dežjem", "manjša ploha": "sneg z dežjem", "nevihta": "sneg z dežjem",
            "grmi": "sneg z dežjem", "rahlo sneži": "sneg z dežjem", "sneži": "sneg z dežjem",
            "močno sneži": "sneg z dežjem", "snežna ploha": "sneg z dežjem"}
AS_RAIN = {"rahlo sneži": "rahlo dežuje", "sneži": "dežuje", "močno sneži": "močno dežuje",
           "snežna ploha": "ploha", "sneg z dežjem": "dežuje"}


def season_word(word, storms, showers):
    """The description as the season allows it: no thunderstorms in the cold
    season, no showers inland in winter."""
    if not storms:
        word = NO_STORMS.get(word, word)
    else:
        word = NO_DRIZZLE.get(word, word)
    if not showers:
        word = NO_SHOWERS.get(word, word)
    return word


def phase_word(word, phase):
    """The description with precipitation falling as `phase` (rain, sleet, snow)."""
    table = {"snow": AS_SNOW, "sleet": AS_SLEET, "rain": AS_RAIN}[phase]
    return table.get(word, word)


# Rain cools the air towards the wet-bulb temperature: the share of the day's
# warming above the minimum that is left while it falls.
WET_WARMING = {"fog": 0.5, "drizzle": 0.5, "rain": 0.35, "rainfog": 0.35, "shower": 0.5,
               "storm": 0.3, "after": 0.55, "snow": 0.4, "sleet": 0.4}


def wet_cooling(t, word, tmin):
    share = WET_WARMING.get(WORDS[word][1])
    if share is None or t <= tmin:
        return t
    return tmin + (t - tmin) * share


def phase_temperature(t, phase, rnd):
    """Melting snow holds the air near 0 °C; rain needs air above it."""
    if phase == "snow":
        return min(t, 0.6 - rnd.uniform(0.0, 0.8))
    if phase == "sleet":
        return max(0.3, min(t, 1.6 + rnd.uniform(0.0, 0.6)))
    return max(t, 1.2 + rnd.uniform(0.0, 0.8))


RH_WET = {"fog": (97, 100), "drizzle": (94, 99), "rain": (88, 97), "rainfog": (96, 100),
          "shower": (80, 94), "storm": (78, 92), "after": (82, 94), "snow": (86, 96),
          "sleet": (92, 99)}
RH_FLOOR = {"jasno": 25, "pretežno jasno": 28, "rahlo oblačno": 32, "delno oblačno": 38,
            "zmerno oblačno": 45, "pretežno oblačno": 55, "oblačno": 65}


def vapour_pressure(t):
    return 6.112 * math.exp(17.62 * t / (243.12 + t))


def humidity(word, t, dewpoint, day, rnd):
    """Relative humidity in per cent that fits the description."""
    kind = WORDS[word][1]
    if kind in RH_WET:
        return rnd.randint(*RH_WET[kind])
    rh = 100 * vapour_pressure(min(dewpoint, t)) / vapour_pressure(t)
    floor = max(RH_FLOOR.get(word, 40), 60 * winterness(day) ** 2)
    return int(round(max(floor, min(95, rh))))


def gustiness(word, steady, rnd):
    kind = WORDS[word][1]
    if kind in ("shower", "storm"):
        return rnd.uniform(2.4, 3.4)
    if kind in ("rain", "rainfog", "snow", "sleet", "after"):
        return rnd.uniform(1.7, 2.3)
    return rnd.uniform(1.3, 1.7) if steady else rnd.uniform(1.4, 2.0)


def felt_temperature(t, rh, ws):
    """Wind chill in the cold, heat index in the heat, the air temperature between."""
    v = ws * 3.6
    if t <= 10 and v > 4.8:
        p = v ** 0.16
        return min(t, 13.12 + 0.6215 * t - 11.37 * p + 0.3965 * t * p)
    if t >= 26.7 and rh >= 40:
        f = t * 9 / 5 + 32
        hi = (-42.379 + 2.04901523 * f + 10.14333127 * rh - 0.22475541 * f * rh
              - 0.00683783 * f * f - 0.05481717 * rh * rh + 0.00122874 * f * f * rh
              + 0.00085282 * f * rh * rh - 0.00000199 * f * f * rh * rh)
        return max(t, (hi - 32) * 5 / 9)
    return t


# --------------------------------------------------------------------------
# Slovenia


def place_seed(key):
    return random.Random("kraj:" + key)


def gore_anomaly(k, day):
    """The mountains' shift; the air behind a summer front is less cold."""
    shift = ANOMALY[max(-1, min(4, k))]["gore"]
    return shift + (1 - winterness(day)) if k == 1 else shift


def si_place(key, zone, alt, buoy=False):
    rnd = place_seed(key)
    off_mean, off_range = rnd.uniform(-0.7, 0.7), rnd.uniform(0.9, 1.1)

    def normals(day):
        _, tmax, tmin = ZONE_CLIMATE[zone]
        dmax, dmin = altitude_shift(zone, alt, day)
        cmax, cmin = monthly(tmax, day) + dmax, monthly(tmin, day) + dmin
        mean, half = (cmax + cmin) / 2 + off_mean, (cmax - cmin) / 2 * off_range
        return mean + half, mean - half

    def anomaly(k, day):
        if zone == "gore":
            return gore_anomaly(k, day)
        shift = ANOMALY[max(-1, min(4, k))][zone]
        if zone in LOWLAND_ZONES:
            # The winter climate of valleys is cold from clear-night inversions;
            # under a frontal cloud deck the air is mixed and milder.
            cloud, wet = SKY[max(-1, min(4, k))][zone]
            shift += 1.5 * winterness(day) * cloud * (1 if wet or k < 2 else 0)
        return shift

    def sky(k, day):
        cloud, wet = SKY[max(-1, min(4, k))][zone]
        fog = fog_days(day)
        if k >= 2 and zone in FOGGY_ZONES and fog:
            return (0.9, 0.0, True) if fog == 2 else (0.35, 0.0, False)
        return cloud, wet, False

    # The sea keeps the air over the buoy from warming or cooling much.
    return Place(key, 46.0, ZONE_LONGITUDE[zone], normals, anomaly, sky,
                 amplitude=0.35 if buoy else 1.0)


class Story:
    """Everything the documents and pictures tell, from one moment."""

    def __init__(self, moment):
        self.now = moment                       # aware, Ljubljana time
        self.today = moment.date()
        self.base = datetime(self.today.year, self.today.month, self.today.day,
                             tzinfo=timezone.utc)
        self.places = {}
        ref = si_place("Ljubljana", "osrednja", 299)
        normal_max = ref.normals(self.today)[0]
        # Thunderstorms need a warm season; inland showers need air that is not cold.
        self.storms = normal_max >= 17
        self.showers = normal_max >= 10
        self.winterness = winterness(self.today)

    def hours(self, t):
        return (t - self.base).total_seconds() / 3600

    def place(self, key, zone, alt, buoy=False):
        full = (key, zone, alt, buoy)
        if full not in self.places:
            self.places[full] = si_place(key, zone, alt, buoy)
        return self.places[full]

    # The free atmosphere over Slovenia, from the mountain climate.

    def free_temperature(self, alt, k, offset=0.0):
        """Daily mean temperature in the free air at `alt` on day k, plus `offset`
        (about +1 at midday, -1 at night)."""
        day = self.today + timedelta(days=k)
        _, tmax, tmin = ZONE_CLIMATE["gore"]
        mean = (monthly(tmax, day) + monthly(tmin, day)) / 2 + gore_anomaly(k, day)
        return mean + offset + FREE_LAPSE * (2515 - alt)

    def freezing_level(self, k):
        return 2515 + self.free_temperature(2515, k) / FREE_LAPSE

    def snow_line(self, k):
        """Lowest altitude where precipitation falls as snow on day k."""
        return self.freezing_level(k) - 300

    def phase_at(self, alt, k):
        line = self.snow_line(k)
        return "snow" if alt >= line else "sleet" if alt >= line - 250 else "rain"

    def temperature(self, place, t):
        return place.temperature(self.today, self.hours(t))

    def day_temps(self, place, k):
        return place.day(self.today, k)[:2]

    def fog_hour(self, place, t):
        """Whether fog that forms in the night may still lie at `t`: from a while
        after sunset to three hours after sunrise, all day in midwinter."""
        if self.winterness > 0.85:
            return True
        h = self.hours(t)
        last_rise = max(place.day(self.today, k)[2] for k in (-1, 0, 1)
                        if place.day(self.today, k)[2] <= h)
        last_set = max(place.day(self.today, k)[4] for k in (-2, -1, 0)
                       if place.day(self.today, k)[4] <= h)
        return h - last_rise <= 3.0 if last_rise > last_set else h - last_set >= 1.5


# Per zone: pressure at sea level and its tendency, dewpoint depression (how dry
# the air is, at midsummer), wind directions and speed range in m/s,
# descriptions to pick from.
ZONES = {
    "obala": dict(p=1009.4, tend="pada", dd=(1.0, 3.0), wind=["JV", "JV", "J"], ws=(4.0, 8.0),
                  wx=["pretežno oblačno", "oblačno", "rahlo dežuje"]),
    "zahod": dict(p=1010.1, tend="hitro pada", dd=(0.0, 1.0), wind=["J", "JZ", "JV"],
                  ws=(1.5, 4.5), wx=["oblačno", "dežuje", "rahlo dežuje", "ploha"]),
    "notranjska": dict(p=1011.0, tend="pada", dd=(0.0, 1.0), wind=["JZ", "J"], ws=(2.5, 6.0),
                       wx=["oblačno", "rahlo dežuje", "rosi"]),
    "gorenjska": dict(p=1011.8, tend="pada", dd=(0.5, 2.0), wind=["JZ", "Z", "J"],
                      ws=(0.8, 3.5), wx=["pretežno oblačno", "oblačno", "rahlo rosi"]),
    "osrednja": dict(p=1012.2, tend="pada", dd=(0.5, 2.0), wind=["JZ", "J", "Z"], ws=(0.8, 3.2),
                     wx=["pretežno oblačno", "zmerno oblačno", "oblačno"]),
    "dolenjska": dict(p=1012.9, tend="pada", dd=(0.5, 2.0), wind=["J", "JZ"], ws=(0.8, 3.0),
                      wx=["delno oblačno", "zmerno oblačno", "pretežno oblačno"]),
    "stajerska": dict(p=1013.8, tend="stalen", dd=(0.5, 2.5), wind=["JV", "J", "V"],
                      ws=(0.7, 2.8), wx=["delno oblačno", "rahlo oblačno", "pretežno jasno"]),
    "prekmurje": dict(p=1014.6, tend="stalen", dd=(0.5, 2.5), wind=["JV", "V"], ws=(0.9, 3.0),
                      wx=["pretežno jasno", "rahlo oblačno", "jasno"]),
    "koroska": dict(p=1013.0, tend="pada", dd=(0.5, 1.5), wind=["Z", "JZ", "S"], ws=(0.3, 1.6),
                    wx=["zmerno oblačno", "megla v okolici", "pretežno oblačno"]),
    "gore": dict(p=None, tend="pada", dd=(0.0, 1.0), wind=["JZ", "J", "Z"], ws=(6.0, 14.0),
                 wx=["oblačno", "megla", "rahlo sneži", "sneži"]),
}

# A few fixed descriptions so that the table shows the whole vocabulary; the
# season and the temperature still decide the final word.
WEATHER_OVERRIDES = {
    "Nova Gorica": "po nevihti", "Vojsko": "megla", "Kočevje": "megla v pasovih",
    "Murska Sobota": "jasno", "Letališče Portorož": "rahlo dežuje", "Postojna": "rosi",
    "Rateče Planica": "oblačno", "Bovec": "manjša ploha",
    "Letališče Lesce": "pretežno oblačno",
    "Dolenje Ajdovščina": "grmi", "Vogel": "rahlo sneži", "Triglav Kredarica": "sneži",
    "Celje": "delno oblačno", "Ljubljana": "pretežno oblačno", "Lisca": "zmerno oblačno",
    "Žirje": "nevihta", "Črni Vrh": "megla", "Idrija": "dežuje, megla",
}

# The same place in two networks reads alike.
PLACE_KEYS = {"Triglav Kredarica": "Kredarica", "Dobliče Črnomelj": "Črnomelj"}



def place_key(name):
    name = PLACE_KEYS.get(name, name)
    return re.sub(r"\s*\d+m$", "", name).replace(" ", "")


OVERRIDES_BY_PLACE = {place_key(name): word for name, word in WEATHER_OVERRIDES.items()}


def station_state(story, name, zone, alt, kind, when):
    """The report of a station of network `kind` at `when` (aware)."""
    z = ZONES[zone]
    key = place_key(name)
    base = place_seed(key)
    own = random.Random(f"{kind}:{name}")
    buoy = name == "Piran-ocean. boja"
    place = story.place(key, zone, alt, buoy)

    word = OVERRIDES_BY_PLACE.get(key) or base.choice(z["wx"])
    word = season_word(word, story.storms, story.showers or zone == "obala")
    if word == "megla" and alt < 900 and story.storms:
        word = "oblačno"  # summer cloud stays above the low hills
    if word in RADIATION_FOG and not story.fog_hour(place, when):
        word = RADIATION_FOG[word]

    t, mix = story.temperature(place, when)
    tmin = story.day_temps(place, 0)[0]
    t = wet_cooling(t, word, tmin) + own.uniform(-0.3, 0.3)
    if WORDS[word][1] in WET:
        phase = story.phase_at(alt, 0)
        word = phase_word(word, phase)
        if WORDS[word][1] in WET:
            t = phase_temperature(t, phase, random.Random("faza:" + key))
    dd = base.uniform(*z["dd"]) * (0.35 + 0.65 * (1 - story.winterness))
    rh = humidity(word, t, tmin - dd, story.today, own)

    lowland = zone in LOWLAND_ZONES
    ws = base.uniform(*z["ws"]) * own.uniform(0.9, 1.1)
    if lowland:  # the air mixes down wind in the warm part of the day
        ws *= 0.45 + 0.55 * mix
    cls = WORDS[word][1]
    if cls == "fog" and lowland:  # valley fog lies in calm air, hill fog is cloud
        ws = min(ws, base.uniform(0.2, 1.2))
    elif cls in ("shower", "storm"):
        ws += 1.0
    gust = max(ws + 0.6, ws * gustiness(word, not lowland, base) + 0.3)
    p = None if z["p"] is None or alt > 1200 else round(z["p"] + base.uniform(-0.8, 0.8), 1)
    rain = round(base.uniform(0.3, 4.5), 1) if cls in WET or cls == "after" else 0.0
    state = {
        "wx": word, "t": round(t, 1), "rh": rh, "dir": base.choice(z["wind"]),
        "ws": round(ws, 1), "gust": round(gust, 1), "p": p, "tend": z["tend"], "rain": rain,
    }
    state["felt"] = round(felt_temperature(state["t"], rh, state["ws"]), 1)
    return state


# --------------------------------------------------------------------------
# European cities: latitude, longitude, by the sea (mild and showery), dryness
# of the air in summer (dewpoint depression), the weather now, the wind, and the
# monthly mean daily maximum and minimum.

EUROPE = [
    ("Amsterdam", 52.37, 4.90, True, 3, "ploha", "Z",
     [6, 7, 10, 14, 17, 20, 22, 22, 19, 15, 10, 7], [1, 1, 3, 5, 8, 11, 13, 13, 11, 8, 4, 2]),
    ("Atene", 37.98, 23.73, True, 9, "jasno", "S",
     [13, 14, 16, 20, 25, 30, 33, 33, 29, 24, 19, 15],
     [7, 7, 9, 12, 16, 20, 23, 23, 20, 16, 12, 9]),
    ("Beograd", 44.79, 20.45, False, 6, "pretežno jasno", "JV",
     [5, 8, 13, 19, 24, 27, 30, 30, 25, 19, 12, 6], [-2, -1, 3, 8, 13, 16, 18, 18, 14, 9, 4, 0]),
    ("Benetke", 45.44, 12.33, True, 3, "dežuje", "V",
     [7, 9, 13, 17, 22, 26, 29, 28, 24, 18, 12, 8], [0, 1, 5, 9, 13, 17, 19, 19, 15, 11, 6, 1]),
    ("Berlin", 52.52, 13.40, False, 4, "oblačno", "JZ",
     [3, 5, 9, 15, 19, 22, 24, 24, 19, 14, 8, 4], [-2, -2, 1, 4, 8, 12, 14, 13, 10, 6, 2, -1]),
    ("Bratislava", 48.15, 17.11, False, 5, "delno oblačno", "JV",
     [3, 5, 11, 17, 21, 25, 27, 27, 22, 15, 8, 3], [-3, -2, 1, 6, 10, 14, 16, 15, 11, 6, 2, -2]),
    ("Bruselj", 50.85, 4.35, True, 3, "dežuje", "JZ",
     [6, 7, 11, 15, 18, 21, 23, 23, 19, 15, 10, 6], [1, 1, 3, 5, 9, 12, 14, 13, 11, 8, 4, 2]),
    ("Budimpešta", 47.50, 19.04, False, 5, "pretežno jasno", "JV",
     [3, 6, 11, 17, 22, 25, 27, 27, 22, 16, 9, 4], [-2, -1, 2, 7, 11, 15, 17, 16, 12, 7, 3, -1]),
    ("Bukarešta", 44.43, 26.10, False, 6, "jasno", "V",
     [2, 5, 11, 18, 23, 27, 30, 30, 25, 18, 10, 4], [-5, -4, 0, 5, 10, 14, 16, 15, 11, 6, 2, -3]),
    ("Celovec", 46.62, 14.31, False, 3, "oblačno", "J",
     [0, 4, 10, 15, 20, 23, 25, 25, 20, 14, 7, 1], [-8, -6, -2, 3, 8, 11, 13, 13, 9, 4, -1, -6]),
    ("Dubrovnik", 42.65, 18.09, True, 5, "delno oblačno", "JV",
     [12, 13, 15, 18, 22, 26, 29, 29, 26, 22, 17, 14],
     [6, 7, 9, 12, 16, 19, 22, 22, 19, 15, 11, 8]),
    ("Dublin", 53.35, -6.26, True, 2, "manjša ploha", "Z",
     [8, 9, 11, 13, 15, 18, 20, 19, 17, 14, 10, 8], [2, 2, 3, 4, 7, 9, 11, 11, 9, 7, 4, 3]),
    ("Dunaj", 48.21, 16.37, False, 5, "delno oblačno", "JV",
     [3, 5, 10, 16, 21, 24, 27, 26, 21, 15, 8, 4], [-2, -1, 2, 6, 11, 14, 16, 16, 12, 7, 3, -1]),
    ("Frankfurt", 50.11, 8.68, False, 4, "rahlo dežuje", "JZ",
     [4, 6, 11, 16, 20, 23, 25, 25, 20, 15, 9, 5], [-1, -1, 2, 5, 9, 13, 15, 14, 11, 7, 3, 0]),
    ("Gradec", 47.07, 15.44, False, 4, "zmerno oblačno", "J",
     [2, 5, 11, 16, 21, 24, 26, 26, 21, 15, 8, 3], [-5, -4, 0, 5, 9, 13, 15, 14, 10, 6, 1, -3]),
    ("Helsinki", 60.17, 24.94, True, 3, "pretežno oblačno", "J",
     [-3, -4, 0, 7, 14, 19, 22, 20, 15, 8, 3, -1], [-9, -10, -6, 0, 6, 11, 14, 13, 8, 3, -2, -6]),
    ("Istanbul", 41.01, 28.98, True, 4, "jasno", "SV",
     [9, 9, 12, 16, 21, 26, 28, 29, 25, 20, 15, 11], [3, 3, 5, 9, 13, 18, 21, 21, 17, 13, 9, 5]),
    ("Kopenhagen", 55.68, 12.57, True, 3, "oblačno", "J",
     [3, 3, 6, 11, 16, 19, 22, 21, 18, 13, 8, 5], [-1, -1, 0, 3, 8, 11, 14, 14, 11, 7, 4, 1]),
    ("Lizbona", 38.72, -9.14, True, 5, "pretežno jasno", "SZ",
     [15, 16, 19, 20, 23, 27, 29, 29, 27, 23, 18, 15],
     [8, 9, 11, 12, 14, 17, 18, 19, 18, 15, 11, 9]),
    ("London", 51.51, -0.13, True, 4, "ploha", "JZ",
     [8, 9, 12, 15, 18, 21, 24, 23, 20, 16, 11, 8], [2, 2, 4, 6, 9, 12, 14, 14, 11, 8, 5, 3]),
    ("Madrid", 40.42, -3.70, False, 12, "jasno", "Z",
     [10, 12, 16, 18, 22, 28, 32, 31, 26, 20, 14, 10], [1, 2, 5, 7, 10, 15, 18, 18, 14, 10, 5, 2]),
    ("Milano", 45.46, 9.19, False, 4, "dežuje", "V",
     [6, 9, 14, 18, 22, 27, 29, 29, 24, 18, 11, 6], [-2, 0, 3, 7, 12, 16, 18, 18, 14, 9, 4, -1]),
    ("Moskva", 55.76, 37.62, False, 4, "oblačno", "JV",
     [-4, -4, 2, 10, 18, 22, 24, 22, 16, 9, 1, -3], [-10, -10, -5, 2, 7, 11, 14, 12, 7, 2, -3, -8]),
    ("München", 48.14, 11.58, False, 4, "dežuje", "Z",
     [3, 5, 10, 14, 19, 22, 24, 24, 19, 14, 8, 4], [-4, -4, 0, 3, 8, 11, 13, 13, 9, 5, 1, -2]),
    ("Oslo", 59.91, 10.75, False, 4, "pretežno oblačno", "JV",
     [-1, 0, 4, 10, 16, 20, 22, 21, 16, 9, 4, 0], [-7, -7, -4, 1, 6, 10, 13, 12, 8, 3, -1, -5]),
    ("Pariz", 48.86, 2.35, False, 4, "rahlo dežuje", "Z",
     [7, 8, 12, 16, 20, 23, 25, 25, 21, 16, 11, 8], [3, 3, 5, 7, 11, 14, 16, 16, 13, 10, 6, 4]),
    ("Praga", 50.08, 14.44, False, 4, "pretežno oblačno", "J",
     [1, 3, 8, 14, 19, 22, 24, 24, 19, 13, 6, 2], [-5, -4, -1, 3, 7, 11, 13, 12, 9, 4, 0, -3]),
    ("Reykjavik", 64.15, -21.94, True, 2, "sneg z dežjem", "S",
     [3, 3, 4, 6, 10, 12, 14, 14, 11, 7, 4, 3], [-2, -2, -1, 1, 4, 7, 9, 9, 6, 3, 0, -2]),
    ("Rim", 41.90, 12.50, True, 6, "nevihta", "JZ",
     [12, 13, 16, 19, 23, 28, 31, 31, 27, 22, 16, 13], [3, 4, 6, 9, 13, 16, 19, 19, 16, 12, 7, 4]),
    ("Sarajevo", 43.86, 18.41, False, 5, "delno oblačno", "J",
     [4, 6, 11, 16, 21, 24, 27, 27, 23, 17, 10, 5], [-4, -3, 1, 5, 9, 12, 14, 14, 10, 6, 2, -2]),
    ("Sofija", 42.70, 23.32, False, 6, "pretežno jasno", "JV",
     [3, 5, 10, 16, 21, 25, 28, 28, 23, 17, 10, 4], [-4, -3, 0, 5, 9, 13, 15, 14, 11, 6, 2, -2]),
    ("Split", 43.51, 16.44, True, 6, "pretežno oblačno", "JV",
     [11, 12, 14, 18, 23, 27, 30, 30, 26, 21, 16, 12],
     [5, 5, 7, 11, 15, 19, 22, 22, 18, 14, 10, 6]),
    ("Stockholm", 59.33, 18.07, True, 3, "oblačno", "JV",
     [0, 0, 4, 10, 16, 20, 23, 21, 16, 10, 5, 2], [-5, -5, -3, 1, 6, 11, 14, 13, 9, 4, 0, -3]),
    ("Trst", 45.65, 13.78, True, 3, "rahlo dežuje", "JV",
     [9, 10, 13, 17, 22, 26, 29, 28, 24, 19, 14, 10], [4, 4, 7, 11, 15, 19, 21, 21, 17, 13, 9, 5]),
    ("Varšava", 52.23, 21.01, False, 4, "delno oblačno", "J",
     [0, 2, 7, 14, 19, 22, 24, 24, 18, 12, 6, 1], [-5, -5, -1, 3, 8, 12, 14, 13, 9, 4, 0, -4]),
    ("Videm", 46.06, 13.24, False, 3, "dežuje", "J",
     [8, 10, 14, 18, 23, 27, 29, 29, 24, 19, 13, 9], [-1, 0, 3, 7, 12, 16, 18, 17, 13, 9, 4, 0]),
    ("Zagreb", 45.81, 15.98, False, 4, "zmerno oblačno", "J",
     [4, 7, 12, 17, 22, 26, 28, 28, 22, 17, 10, 5], [-3, -2, 2, 6, 11, 14, 16, 15, 11, 7, 3, -1]),
    ("Zürich", 47.38, 8.54, False, 4, "dežuje", "Z",
     [3, 5, 10, 14, 18, 22, 24, 24, 19, 14, 8, 4], [-2, -2, 1, 4, 8, 12, 14, 14, 10, 6, 2, -1]),
]


# Sea-level pressure over Europe: the Atlantic low near Ireland and a small
# low over the Gulf of Genoa under a broad high; (lon, lat, depth hPa, radius deg).
PRESSURE_LOWS = [(-9.0, 55.5, 30.0, 11.0), (8.8, 44.2, 6.0, 4.0)]


def sea_level_pressure(lat, lon):
    p = 1022.0
    for lon0, lat0, depth, radius in PRESSURE_LOWS:
        d2 = ((lon - lon0) * math.cos(math.radians(lat))) ** 2 + (lat - lat0) ** 2
        p -= depth * math.exp(-d2 / (2 * radius ** 2))
    return p


def pressure_tendency(lat, lon):
    """Falling ahead of the front, rising behind it, steady far east."""
    if lon < 0:
        return "raste"
    return "pada" if lon <= 20 and lat <= 57 else "stalen"


def city_state(story, city, lat, lon, sea, dry, word, wind, tmax, tmin, when):
    rnd = random.Random("evropa:" + city)
    shift = rnd.uniform(-1.5, 1.5)

    def normals(day):
        return monthly(tmax, day), monthly(tmin, day)

    normal_max = monthly(tmax, story.today)
    word = season_word(word, normal_max >= 17 or (sea and normal_max >= 12),
                       normal_max >= 8 or sea)
    cloud, cls = WORDS[word]
    place = Place(city, lat, lon, normals, lambda k, day: shift,
                  lambda k, day: (cloud, 1.0 if cls in WET else 0.0, False))
    t, mix = story.temperature(place, when)
    t = wet_cooling(t, word, story.day_temps(place, 0)[0])
    if cls in WET:
        phase = "snow" if t <= 0.5 else "sleet" if t <= 2.5 else "rain"
        word = phase_word(word, phase)
        cls = WORDS[word][1]
    dd = rnd.uniform(1.0, 2.0) + dry * (1 - story.winterness) * rnd.uniform(0.7, 1.0)
    rh = humidity(word, t, story.day_temps(place, 0)[0] - dd, story.today, rnd)
    ws = rnd.uniform(1.0, 7.0) * (0.6 + 0.4 * mix)
    if cls == "fog":
        ws = min(ws, 1.0)
    gust = max(ws + 0.6, ws * gustiness(word, sea, rnd) + 0.3)
    st = {"wx": word, "t": round(t, 1), "rh": rh, "dir": wind, "ws": round(ws, 1),
          "gust": round(gust, 1),
          "p": round(sea_level_pressure(lat, lon) + rnd.uniform(-1.5, 1.5), 1),
          "tend": pressure_tendency(lat, lon)}
    st["felt"] = round(felt_temperature(st["t"], rh, st["ws"]), 1)
    return st, rnd.random() < 0.25


# --------------------------------------------------------------------------
# Snow cover: depth by altitude and season, plus what today's front brings.

# Station, altitude, how snowy it is compared with its altitude, in the west
# (where the front snows today).
SNOW_STATIONS = [
    ("Kanin", 2200, 1.35, True), ("Kredarica", 2515, 1.0, True), ("Vogel", 1535, 1.1, True),
    ("Krvavec", 1650, 0.8, False), ("Rudno polje", 1347, 1.0, True),
    ("Velika planina", 1560, 0.7, False), ("Rogla", 1492, 0.75, False),
    ("Golte", 1480, 0.75, False), ("Cerkno", 1290, 0.7, True),
    ("Mariborsko Pohorje", 1050, 0.6, False), ("Rateče", 864, 1.0, False),
]
# Observers at the two highest stations report even when there is no snow.
ALWAYS_REPORTED = ("Kanin", "Kredarica")


def interpolate(alt, table):
    """Linear in altitude through (altitude, value) pairs, flat outside."""
    if alt <= table[0][0]:
        return table[0][1]
    for (a0, v0), (a1, v1) in zip(table, table[1:]):
        if alt <= a1:
            return v0 + (v1 - v0) * (alt - a0) / (a1 - a0)
    return table[-1][1]


def seasonal_snow(alt, day):
    """Climatological snow depth in cm; days counted from 1 September."""
    d = (day - date(day.year if day.month >= 9 else day.year - 1, 9, 1)).days
    onset = interpolate(alt, [(850, 100), (1500, 85), (2500, 40)])
    peak = interpolate(alt, [(850, 150), (1500, 170), (2500, 225)])
    melt = interpolate(alt, [(850, 190), (1500, 235), (2200, 290), (2500, 318)])
    depth = interpolate(alt, [(850, 30), (1500, 110), (2500, 300)])
    if d <= onset or d >= melt:
        return 0.0
    if d <= peak:
        return depth * ((d - onset) / (peak - onset)) ** 0.8
    return depth * (1 - ((d - peak) / (melt - peak)) ** 1.6)


def snow_cover(story):
    """[(station, depth cm, new snow cm)] as reported this morning."""
    line = story.snow_line(0)
    out = []
    for name, alt, factor, west in SNOW_STATIONS:
        rnd = random.Random("sneg:" + name)
        depth = seasonal_snow(alt, story.today) * factor * rnd.uniform(0.9, 1.1)
        new = 0
        if west and alt >= line + 100:
            new = int(round(min(12, (alt - line) / 120) * rnd.uniform(0.7, 1.0)))
        total = int(round(depth)) + new
        if total > 0 or name in ALWAYS_REPORTED:
            out.append((name, total, new))
    return out


# --------------------------------------------------------------------------
# The sea and the rivers


SEA_TEMPERATURE = [11.0, 10.2, 11.0, 13.4, 17.5, 22.0, 24.8, 25.2, 22.5, 19.0, 15.8, 12.8]
UV_INDEX = [1, 2, 3, 5, 6, 7, 8, 7, 5, 3, 1, 1]  # clear-sky noon in the lowlands


def sea_temperature(day):
    return monthly(SEA_TEMPERATURE, day)


def uv_index(day, cloud=0.0):
    return max(1, int(round(monthly(UV_INDEX, day) * (1 - 0.6 * cloud))))


# Station, level [cm], discharge [m3/s], state, water temperature (annual mean
# and half its range, °C; None: not measured), decile class.
RIVERS = [
    ("Sava - Radovljica", 118, 46.2, "srednje", (8.5, 3.0), "srednji"),
    ("Sava - Šentjakob", 104, 88.5, "srednje", (10.5, 4.5), "nad srednjim"),
    ("Sava - Litija", 162, 121.0, "srednje", (11.5, 6.0), "nad srednjim"),
    ("Sava - Čatež", 141, 198.4, "srednje", (12.0, 7.0), "srednji"),
    ("Ljubljanica - Moste", 176, 42.7, "srednje", (11.5, 5.5), "srednji"),
    ("Sora - Suha", 95, 31.6, "srednje", (10.0, 4.5), "nad srednjim"),
    ("Savinja - Laško", 83, 27.9, "nizko", (11.5, 7.0), "pod srednjim"),
    ("Krka - Podbočje", 132, 38.3, "srednje", (13.0, 8.0), "srednji"),
    ("Kolpa - Metlika", 74, 19.8, "nizko", (13.0, 9.0), "pod srednjim"),
    ("Soča - Solkan", 210, 164.0, "visoko", (10.5, 4.0), "visok"),
    ("Vipava - Miren", 288, 52.4, "visoko", None, "visok"),
    ("Idrijca - Hotešk", 154, 61.5, "visoko", (9.5, 4.0), "visok"),
    ("Drava - Borl", 236, 281.0, "srednje", (10.5, 6.5), "srednji"),
    ("Mura - G. Radgona", 112, 94.6, "nizko", (10.5, 7.0), "pod srednjim"),
    ("Dravinja - Videm", 48, 3.1, "nizko", None, "nizek"),
    ("Ledava - Polana", 61, 1.2, "nizko", (11.5, 9.0), "nizek"),
]


def water_temperature(spec, day):
    mean, half = spec
    return max(0.5, mean + half * math.cos(2 * math.pi * (day_of_year(day) - 212) / 365.25))


# Tides at Koper: half-daily with the lunar day, springs at new and full moon.
M2_HOURS = 12.4206
SYNODIC_DAYS = 29.530589
NEW_MOON = datetime(2000, 1, 6, 18, 14, tzinfo=timezone.utc)
HIGH_WATER = datetime(2026, 1, 1, 2, 40, tzinfo=timezone.utc)  # a high water to count from


def tides(day):
    """[(time, height cm)] of the high and low waters on `day`, Ljubljana time."""
    start = datetime(day.year, day.month, day.day, tzinfo=LJUBLJANA_ZONE).astimezone(timezone.utc)
    end = start + timedelta(days=1)
    half = M2_HOURS / 2
    n = math.floor((start - HIGH_WATER).total_seconds() / 3600 / half)
    out = []
    while True:
        t = HIGH_WATER + timedelta(hours=n * half)
        high, pair = n % 2 == 0, n // 2
        n += 1
        if t < start:
            continue
        if t >= end:
            return out
        age = ((t - NEW_MOON).total_seconds() / 86400) % SYNODIC_DAYS
        spring = math.cos(4 * math.pi * (age - 1.5) / SYNODIC_DAYS)  # 1 at springs
        diurnal = 6 if pair % 2 else -6  # the two tides of a day differ
        height = (30 + 12 * spring + diurnal) * (1 if high else -1)
        out.append((t.astimezone(LJUBLJANA_ZONE), int(round(height)), high))


# --------------------------------------------------------------------------
# Forecasts: numbers for the texts and pictures, all from the same places.

# The places of the forecast maps, with their zone and altitude.
MAP_PLACES = {
    "Bovec": ("zahod", 440), "Kredarica": ("gore", 2515), "Nova Gorica": ("zahod", 113),
    "Koper": ("obala", 3), "Postojna": ("notranjska", 533), "Ljubljana": ("osrednja", 299),
    "Kočevje": ("dolenjska", 467), "Novo mesto": ("dolenjska", 220),
    "Celje": ("stajerska", 244), "Slovenj Gradec": ("koroska", 455),
    "Maribor": ("stajerska", 275), "Murska Sobota": ("prekmurje", 188),
}


def rounded(x):
    return int(math.floor(x + 0.5))


def hundreds(x):
    return int(math.floor(x / 100 + 0.5)) * 100


def span(values):
    lo, hi = values
    return f"od {lo} do {hi}" if lo < hi else f"okoli {lo}"


def signed(t):
    t = rounded(t)
    return f"+{t}" if t > 0 else str(t)


class Forecast:
    """The day-by-day figures that texts and pictures quote."""

    def __init__(self, story, stations):
        self.story = story
        seen, lowland, coast = set(), [], []
        for name, zone, alt in stations:
            key = place_key(name)
            if key in seen or name == "Piran-ocean. boja":
                continue
            seen.add(key)
            if zone == "obala":
                coast.append(story.place(key, zone, alt))
            elif zone in LOWLAND_ZONES and alt < 700:
                lowland.append(story.place(key, zone, alt))
        self.lowland, self.coast = lowland, coast
        self.kredarica = 0
        self.kredarica_new = 0
        self.vogel = 0

    def range(self, k, which):
        """Rounded (lowest, highest) daily minimum (which=0) or maximum (1) on
        day k in the lowlands, leaving out one outlier at each end."""
        values = sorted(self.story.day_temps(p, k)[which] for p in self.lowland)
        if len(values) >= 10:
            values = values[1:-1]
        return rounded(values[0]), rounded(values[-1])

    def coast_value(self, k, which):
        values = [self.story.day_temps(p, k)[which] for p in self.coast]
        return rounded(max(values) if which else sum(values) / len(values))

    def snow_line(self, k):
        return max(0, hundreds(self.story.snow_line(k)))

    def freezing_level(self, k):
        return max(0, hundreds(self.story.freezing_level(k)))

    def take_snow(self, cover):
        for name, depth, new in cover:
            if name == "Kredarica":
                self.kredarica, self.kredarica_new = depth, new
            if name == "Vogel":
                self.vogel = depth

    def phase(self, place, alt, k):
        """What falls on day k at a place: the snow line decides, unless the
        place's own cold air turns the rain to sleet or snow."""
        phase = self.story.phase_at(alt, k)
        tmin, tmax = self.story.day_temps(place, k)
        if phase == "rain" and tmin <= 0.5:
            phase = "sleet"
        if phase == "sleet" and tmax <= 1.5:
            phase = "snow"
        return phase

    def map_kind(self, name, k):
        zone, alt = MAP_PLACES[name]
        if k == 1:
            dry = {"zahod": "partly", "obala": "sun", "notranjska": "cloudy"}
            if zone in dry:
                return dry[zone]
            phase = self.phase(self.story.place(place_key(name), zone, alt), alt, 1)
            if phase != "rain":
                return phase
            return "showers" if zone in ("osrednja", "gorenjska", "gore") else "rain"
        fog = fog_days(self.story.today + timedelta(days=k))
        if zone in FOGGY_ZONES and fog:
            return "fog" if fog == 2 else "partly"
        return "sun" if k == 2 else "partly"

    def map_places(self, k):
        out = {}
        for name, (zone, alt) in MAP_PLACES.items():
            tmin, tmax = self.story.day_temps(self.story.place(place_key(name), zone, alt), k)
            out[name] = (self.map_kind(name, k), rounded(tmin), rounded(tmax))
        return out

    def outlook(self):
        """Four days over central Slovenia: (symbol, minimum, maximum)."""
        story = self.story
        lj = story.place("Ljubljana", "osrednja", 299)
        kinds = []
        phase = self.phase(lj, 299, 0)
        kinds.append("storm" if story.storms else "rain" if phase == "rain" else phase)
        phase = self.phase(lj, 299, 1)
        kinds.append("showers" if phase == "rain" else phase)
        kinds.append("fog" if fog_days(story.today + timedelta(days=2)) == 2 else "sun")
        kinds.append("cloudy" if fog_days(story.today + timedelta(days=3)) == 2 else "partly")
        out = []
        for k, kind in enumerate(kinds):
            tmin, tmax = story.day_temps(lj, k)
            out.append((kind, rounded(tmin), rounded(tmax)))
        return out

    # The texts: (heading, paragraphs...) per record.

    def general(self):
        s = self.story
        max0, max1, min1, min2 = self.range(0, 1), self.range(1, 1), self.range(1, 0), \
            self.range(2, 0)
        sl0, sl1 = self.snow_line(0), self.snow_line(1)
        hot = max0[1] >= 30
        air = "vroč in vlažen" if hot else "topel in vlažen" if s.storms else \
            "razmeroma topel in vlažen"
        situation = ("Nad severnim Atlantikom in Britanskim otočjem je obsežno območje nizkega "
                     "zračnega tlaka. Njegova hladna fronta se od zahoda bliža Alpam in bo v noči "
                     "na jutri prešla naše kraje. Pred njo k nam z jugozahodnimi vetrovi doteka "
                     f"{air} zrak.")
        if s.storms:
            today = ("Danes bo na zahodu oblačno, občasno bo deževalo, posamezne plohe in "
                     "nevihte bodo možne tudi drugod po zahodni polovici Slovenije.")
        elif sl0 <= 300:
            today = "Danes bo na zahodu oblačno, občasno bo snežilo, sneg bo padal do nižin."
        elif sl0 < 2700:
            today = ("Danes bo na zahodu oblačno, občasno bo deževalo, meja sneženja bo na "
                     f"okoli {sl0} metrih nadmorske višine.")
        else:
            today = "Danes bo na zahodu oblačno, občasno bo deževalo."
        today += (" Na vzhodu bo delno jasno z zmerno oblačnostjo, proti večeru se bo "
                  "pooblačilo. Na Primorskem bo pihal jugo.")
        night = "Ponoči se bodo padavine razširile nad vso državo" + \
            (", ponekod bodo nevihte." if s.storms else ".")
        if sl1 <= 300:
            night += " Sneg bo padal do nižin."
        elif sl1 < 2700:
            night += (f" Meja sneženja se bo spustila do okoli {sl1} metrov nadmorske "
                      "višine.")
        night += (f" Najnižje jutranje temperature bodo {span(min1)}, na Primorskem okoli "
                  f"{self.coast_value(1, 0)} °C.")
        tomorrow = ("Jutri bo zjutraj oblačno s padavinami, ki bodo dopoldne od zahoda "
                    "ponehale. Popoldne se bo delno zjasnilo. Na Primorskem bo zapihala zmerna "
                    "burja, drugod severni veter.")
        day2 = s.today + timedelta(days=2)
        fog = fog_days(day2)
        outlook = "Pojutrišnjem bo pretežno jasno" + (
            ", po nižinah bo megla, ki se bo ponekod zadržala ves dan." if fog == 2 else
            ", zjutraj bo po nekaterih nižinah megla." if fog == 1 else ".")
        if min2[0] <= -6:
            outlook += f" Jutro bo mrzlo, najnižje temperature bodo {span(min2)} °C."
        elif min2[0] <= -2 and s.winterness > 0.7:
            outlook += f" Jutro bo mrzlo, najnižje temperature bodo {span(min2)} °C."
        elif min2[0] <= 1:
            outlook += " Jutro bo hladno, ponekod bo slana."
        elif s.winterness < 0.3:
            outlook += " Jutro bo sveže."
        else:
            outlook += " Jutro bo hladno."
        if s.storms:
            outlook += (" V naslednjih dneh bo sončno in spet topleje, popoldne bodo nad hribi "
                        "nastajali kopasti oblaki.")
        elif fog == 2:
            outlook += (" V naslednjih dneh bo v hribih sončno in razmeroma toplo, po nižinah "
                        "bo pogosto megla ali nizka oblačnost.")
        else:
            outlook += " V naslednjih dneh bo sončno in postopno topleje."
        alps = f", v Alpah bo snežilo nad okoli {sl0} metri" if sl0 < 2700 else ""
        return [
            ("Vremenska slika", situation),
            ("Napoved za Slovenijo", today,
             f"Najvišje dnevne temperature bodo {span(max0)}, na Primorskem do "
             f"{self.coast_value(0, 1)} °C.", night),
            ("Napoved za jutri", tomorrow,
             f"Najvišje dnevne temperature bodo {span(max1)}, na Primorskem okoli "
             f"{self.coast_value(1, 1)} °C."),
            ("Obeti", outlook),
            ("Vreme v sosednjih pokrajinah",
             f"V sosednjih pokrajinah bo danes na zahodu oblačno z občasnimi padavinami{alps}, "
             "na vzhodu bo delno jasno. Jutri se bo od zahoda jasnilo, ob hrvaški obali bo "
             "zapihala burja."),
        ]

    def bio(self):
        s = self.story
        uv = uv_index(s.today, 0.3)
        high = uv + (1 if uv <= 2 else 2)
        max0 = self.range(0, 1)
        if max0[1] >= 28:
            advice = ("Ob soparni vročini pijte dovolj tekočine in se v najtoplejšem delu dneva "
                      "izogibajte naporom. Ob nevihtah se umaknite v zavetje.")
        elif s.winterness > 0.6:
            advice = ("Oblecite se toplo in po plasteh. Ljudje z revmatičnimi težavami naj se "
                      "izogibajo vlagi in mrazu, ob burji na Primorskem se zaščitite pred "
                      "vetrom.")
        else:
            advice = ("Ob spremenljivem vremenu se oblačite po plasteh. Ljudje z revmatičnimi "
                      "težavami naj se izogibajo vlagi, ob burji na Primorskem se zaščitite pred "
                      "vetrom.")
        uv_text = f"Opoldne bo UV indeks v nižinah okoli {uv}, v visokogorju do {high}."
        if self.kredarica > 0:
            uv_text += " Na snegu je odboj sončnih žarkov močnejši."
        return [
            ("Biovremenska napoved za danes",
             "Vremenski vpliv bo obremenilen. Pri vremensko občutljivih ljudeh bodo pogostejši "
             "glavobol, nespečnost, razdražljivost in težave s krvnim obtokom.",
             "Previdni naj bodo srčni in pljučni bolniki ter ljudje z nizkim krvnim tlakom."),
            ("Jutri",
             "Ob prehodu hladne fronte bo vremenski vpliv zjutraj še obremenilen, popoldne bo "
             "postal ugoden in počutje se bo večini ljudi izboljšalo."),
            ("Nasveti", advice),
            ("UV indeks", uv_text),
        ]

    def mountains(self):
        s = self.story
        sl0, sl1 = self.snow_line(0), self.snow_line(1)
        if sl0 < 2600:
            now = f"Gore so v oblakih, na zahodu občasno sneži nad okoli {sl0} metri."
        elif s.storms:
            now = "Gore so v oblakih, na zahodu občasno dežuje, popoldne so možne nevihte."
        else:
            now = "Gore so v oblakih, na zahodu občasno dežuje."
        if self.kredarica > 0 and self.kredarica_new > 0:
            now += (f" Na Kredarici je v zadnjih 24 urah zapadlo {self.kredarica_new} cm "
                    f"novega snega, skupna višina snežne odeje je {self.kredarica} cm.")
        elif self.kredarica > 0:
            now += f" Na Kredarici je {self.kredarica} cm snega."
        else:
            now += " Na Kredarici snežne odeje ni."
        if self.vogel > 0:
            paths = ("Poti v sredogorju in visokogorju so zasnežene, ponekod poledenele, zato sta "
                     "potrebna zimska oprema in previdnost.")
        elif self.kredarica > 0:
            # Autumn snow is the new season's, spring snow the last one's.
            already = "že" if s.today.month >= 9 else "še"
            paths = (f"V visokogorju je na poteh ponekod {already} sneg ali trda snežišča, zato "
                     "sta potrebni previdnost in ustrezna oprema.")
        else:
            paths = ("Poti so mokre in spolzke. Ob nevihtah se umaknite z grebenov in vrhov."
                     if s.storms else "Poti so mokre in spolzke, zato je potrebna previdnost.")
        if sl0 < 2200:
            today = f"Občasno bo snežilo nad okoli {sl0} metri, nižje bo deževalo."
        elif sl0 < 2800:
            today = f"Občasno bo deževalo, nad okoli {sl0} metri bo snežilo."
        else:
            today = "Občasno bo deževalo" + (", popoldne bodo nevihte." if s.storms else ".")
        if sl1 <= 300:
            tomorrow = "Dopoldne bo še snežilo, sneg bo padal do nižin."
        elif sl1 < 2000:
            tomorrow = f"Dopoldne bo še snežilo, meja sneženja se bo spustila do {sl1} metrov."
        elif sl1 < 2700:
            tomorrow = f"Dopoldne bo še deževalo, nad okoli {sl1} metri bo snežilo."
        else:
            tomorrow = "Dopoldne bo še deževalo, ponekod bodo plohe."
        if self.kredarica == 0 and self.vogel == 0:
            avalanche = "V gorah ni snežne odeje, zato nevarnosti snežnih plazov ni."
        elif self.vogel == 0:
            avalanche = ("Nevarnost snežnih plazov je v visokogorju zmerna (2. stopnja), svež "
                         "sneg se slabo veže s staro podlago." if self.kredarica_new >= 5 else
                         "Nevarnost snežnih plazov je majhna (1. stopnja). Čez dan se s strmih "
                         "prisojnih pobočij lahko prožijo manjši mokri plazovi.")
        elif self.kredarica_new >= 5:
            avalanche = ("Nevarnost snežnih plazov je zmerna (2. stopnja), v visokogorju nad "
                         "2000 metri je znatna (3. stopnja). Pod svežim snegom je trda in "
                         "poledenela podlaga.")
        else:
            avalanche = ("Nevarnost snežnih plazov je zmerna (2. stopnja). Največja je na strmih "
                         "osojnih pobočjih v visokogorju.")
        return [
            ("Razmere v gorah", now, paths),
            ("Napoved za danes",
             f"Gore bodo zavite v oblake. {today} Pihal bo okrepljen jugozahodni veter, na "
             "grebenih s sunki do 70 km/h.",
             f"Temperatura na 1500 m bo okoli {rounded(s.free_temperature(1500, 0, 1.0))}, na "
             f"2500 m okoli {rounded(s.free_temperature(2500, 0, 1.0))} °C."),
            ("Napoved za jutri",
             f"{tomorrow} Popoldne se bo od zahoda jasnilo. Zapihal bo severni veter in bo "
             "hladneje. Temperatura na 2500 m bo okoli "
             f"{rounded(s.free_temperature(2500, 1, 1.0))} °C."),
            ("Nevarnost plazov", avalanche),
        ]

    def aviation(self, sunrise, sunset):
        s = self.story
        fl0, fl1 = self.freezing_level(0), self.freezing_level(1)
        level = (lambda fl: "pri tleh" if fl <= 300 else f"na okoli {fl} m")
        visibility = "Vidnost bo nad 10 km, v padavinah od 3 do 5 km"
        visibility += ", v sneženju pod 1 km." if self.snow_line(0) < 1000 else "."
        if fog_days(s.today) == 2:
            visibility += " Po kotlinah bo ponekod megla z vidnostjo pod 500 m."
        hazards = ("Zmerna turbulenca nad gorami in v zavetrju, zmerno zaledenevanje v oblakih "
                   f"nad {max(fl0, 0)} m. ")
        hazards += ("Na zahodu so možne posamezne nevihte s sunki vetra." if s.storms else
                    "Na zahodu bodo padavine ponekod zmanjšale vidnost.")
        return [
            ("Splošna situacija",
             "Hladna fronta se od zahoda bliža Alpam in bo v noči na jutri prešla Slovenijo. "
             "Pred njo nad naše kraje doteka vlažen jugozahodni zrak."),
            ("Oblačnost in vidnost",
             "Na zahodu bo oblačno z bazo oblakov med 600 in 900 m, gore bodo v oblakih. Drugod "
             f"bo zmerno do pretežno oblačno z bazo okoli 1500 m. {visibility}"),
            ("Veter in temperatura na višinah",
             f"1500 m: JZ 35 km/h, {signed(s.free_temperature(1500, 0, 1.0))} °C; 3000 m: JZ "
             f"60 km/h, {signed(s.free_temperature(3000, 0, 1.0))} °C. Ničta izoterma bo "
             f"{level(fl0)}, ponoči se bo spustila {level(fl1).replace('na okoli', 'na')}."),
            ("Nevarni pojavi", hazards),
            # The program reads the first two runs of digits and dots in this
            # paragraph as the sun times, so the sunset time ends the text.
            ("Sonce",
             f"Sonce vzide ob {sunrise.hour}.{sunrise.minute:02d} "
             f"in zaide ob {sunset.hour}.{sunset.minute:02d}"),
        ]

    def coast_table(self):
        """[(what, morning, afternoon)] for the coast."""
        s = self.story
        koper = s.place("Koper", "obala", 3)
        ten = datetime(s.today.year, s.today.month, s.today.day, 10, tzinfo=LJUBLJANA_ZONE)
        morning = rounded(s.temperature(koper, ten)[0])
        afternoon = rounded(s.day_temps(koper, 0)[1])
        sea = sea_temperature(s.today)
        sea_pm = sea + 0.6 * (1 - s.winterness)
        tide = {True: ["–", "–"], False: ["–", "–"]}
        for t, height, high in tides(s.today):
            tide[high][0 if t.hour < 12 else 1] = f"{t.hour}.{t.minute:02d} ({height:+d} cm)"
        return [
            ("Vreme", "pretežno oblačno", "oblačno, občasno dež"),
            ("Temperatura zraka [°C]", str(morning), str(afternoon)),
            ("Temperatura morja [°C]", str(rounded(sea)), str(rounded(sea_pm))),
            ("Veter", "jugo, 4 do 7 m/s", "jugo, 6 do 10 m/s"),
            ("Stanje morja", "rahlo razgibano", "zmerno razgibano"),
            ("Višina valov [m]", "0.3 do 0.5", "0.5 do 1.0"),
            ("UV indeks", str(uv_index(s.today, 0.7)), str(uv_index(s.today, 0.9))),
            ("Plima", *tide[True]),
            ("Oseka", *tide[False]),
        ]

    def sea_now(self):
        """Sea surface temperature at the buoy now: a little warmer in the afternoon."""
        s = self.story
        buoy = s.place(place_key("Piran-ocean. boja"), "obala", 0, buoy=True)
        mix = s.temperature(buoy, s.now)[1]
        return sea_temperature(s.today) + 0.4 * mix * (1 - s.winterness)
