// The flight model: its own elementary functions against the C library's,
// the airfield's radios, and each autopilot law flown step by step.
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "host/flight/airfield.h"
#include "host/flight/atmosphere.h"
#include "host/flight/flight.h"
#include "host/flight/flight_math.h"
#include "module/host_var_list.h"

namespace panelhost {
namespace {

using namespace orvane;
namespace fl = panelhost::flight;

TEST(FlightMathTests, ElementaryFunctionsAgreeWithTheCLibraryWithinABound) {
    const struct {
        const char* name;
        std::function<double(double)> own;
        std::function<double(double)> libm;
        double low, high;
        double bound;  // relative to the larger of 1 and the result
    } cases[] = {
        {"sin", fl::sin, [](double x) { return std::sin(x); }, -100.0, 100.0, 4e-16},
        {"cos", fl::cos, [](double x) { return std::cos(x); }, -100.0, 100.0, 4e-16},
        {"tan within 80 degrees", fl::tan, [](double x) { return std::tan(x); }, -1.4, 1.4, 1e-15},
        {"atan", fl::atan, [](double x) { return std::atan(x); }, -50.0, 50.0, 4e-16},
        {"asin", fl::asin, [](double x) { return std::asin(x); }, -1.0, 1.0, 4e-16},
        {"exp", fl::exp, [](double x) { return std::exp(x); }, -30.0, 30.0, 8e-16},
        {"log", fl::log, [](double x) { return std::log(x); }, 1e-6, 1e6, 4e-16},
        {"pow of a temperature ratio", [](double x) { return fl::pow_positive(x, 4.25588); },
         [](double x) { return std::pow(x, 4.25588); }, 0.5, 1.0, 1e-15},
    };
    const uint32_t seed = std::random_device{}();
    std::printf("seed %u\n", seed);
    std::mt19937_64 random(seed);
    for (const auto& c : cases) {
        std::uniform_real_distribution<double> pick(c.low, c.high);
        double worst = 0.0, worst_at = 0.0;
        for (int i = 0; i < 20000; ++i) {
            const double x = i == 0 ? c.low : i == 1 ? c.high : pick(random);
            const double expected = c.libm(x);
            const double error = std::fabs(c.own(x) - expected) / std::fmax(1.0, std::fabs(expected));
            if (error > worst) worst = error, worst_at = x;
        }
        EXPECT_LE(worst, c.bound) << c.name << " at " << worst_at << ", seed " << seed;
    }
}

TEST(FlightMathTests, SpecialArgumentsHaveTheirOwnAnswers) {
    const double inf = INFINITY;
    const struct {
        const char* what;
        double got, expected;
    } cases[] = {
        {"atan2 of the origin", fl::atan2(0.0, 0.0), 0.0},
        {"atan2 straight left", fl::atan2(0.0, -1.0), fl::pi},
        {"atan2 straight down", fl::atan2(-1.0, 0.0), -fl::pi / 2},
        {"atan2 in the third quadrant", fl::atan2(-1.0, -1.0), -3 * fl::pi / 4},
        {"atan of infinity", fl::atan(inf), fl::pi / 2},
        {"exp overflows to infinity", fl::exp(800.0), inf},
        {"exp underflows to 0", fl::exp(-800.0), 0.0},
        {"log of 0", fl::log(0.0), -inf},
        {"log of 1", fl::log(1.0), 0.0},
        {"a heading wraps into 0 to 360", fl::wrap_360(-90.0), 270.0},
        {"360 is 0", fl::wrap_360(360.0), 0.0},
        {"a long way round", fl::wrap_360(1090.0), 10.0},
        {"an error wraps into -180 to 180", fl::wrap_180(270.0), -90.0},
        {"180 stays 180", fl::wrap_180(-180.0), 180.0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
    EXPECT_TRUE(std::isnan(fl::sin(inf)));
    EXPECT_TRUE(std::isnan(fl::log(-1.0)));
    EXPECT_TRUE(std::isnan(fl::asin(1.5)));
    EXPECT_TRUE(std::isnan(fl::pow_positive(0.0, 2.0)));
}

TEST(FlightAirfieldTests, RadiosReadWhereTheAircraftIs) {
    const double field_m = fl::field_elevation_ft * fl::metres_per_foot;
    const double slope = std::tan(3.0 * fl::pi / 180.0);
    const double ten_nm = 10.0 * fl::metres_per_nautical_mile;
    const auto on_slope = [&](double distance_nm) {
        return field_m + distance_nm * fl::metres_per_nautical_mile * slope;
    };
    const auto degrees_right = [&](double nm, double degrees) {
        // Off the centreline by an angle seen from the localizer at the runway's far end.
        return std::tan(degrees * fl::pi / 180.0) * (nm * fl::metres_per_nautical_mile + fl::runway_length_m) /
               fl::metres_per_nautical_mile;
    };
    const struct {
        const char* what;
        double distance_nm, offset_nm, altitude_m;
        double localizer, glideslope, dme1, dme2;  // NaN: not looked at
    } cases[] = {
        {"on the centreline and the glideslope both read 0", 10, 0, on_slope(10), 0, 0, NAN, NAN},
        {"a degree right of the localizer reads it to the left", 10, degrees_right(10, 1), on_slope(10), -50.8, NAN,
         NAN, NAN},
        {"two degrees left reads it to the right", 10, degrees_right(10, -2), on_slope(10), 101.6, NAN, NAN, NAN},
        {"far off the localizer it stays at full scale", 10, 5, on_slope(10), -127, NAN, NAN, NAN},
        {"behind the localizer it is at full scale", -3, 0.01, field_m + 100, -127, NAN, NAN, NAN},
        {"well below the glideslope reads it above, at full scale", 10, 0, field_m + 300, NAN, -120, NAN, NAN},
        {"0.35 degrees above it reads half scale below",
         10, 0, field_m + ten_nm * std::tan(3.35 * fl::pi / 180.0), NAN, 60, NAN, NAN},
        {"DME1 is the slant range to the threshold", 3, 4, field_m + 1852.0 * 12, NAN, NAN, 13, NAN},
        {"DME2 is the VOR's, 15 nm north", 0, 0, field_m, NAN, NAN, 0, 15},
    };
    for (const auto& c : cases) {
        const fl::RadioReadings r = fl::radio_readings(fl::approach_point(c.distance_nm, c.offset_nm), c.altitude_m);
        const struct {
            double got, expected, within;
        } readings[] = {{r.localizer, c.localizer, 0.05},
                        {r.glideslope, c.glideslope, 0.05},
                        {r.dme1_nm, c.dme1, 1e-9},
                        {r.dme2_nm, c.dme2, 1e-9}};
        for (const auto& reading : readings) {
            if (!std::isnan(reading.expected)) {
                EXPECT_NEAR(reading.got, reading.expected, reading.within) << c.what;
            }
        }
    }
}

TEST(FlightAirfieldTests, TheStandardAtmosphereHasItsFigures) {
    const struct {
        double altitude_ft, density_ratio, speed_of_sound_kt;
    } cases[] = {
        {0, 1.0, 661.47},
        {10000, 0.7385, 638.33},
        {36089, 0.2971, 573.57},  // the tropopause
        {45000, 0.1936, 573.57},
    };
    for (const auto& c : cases) {
        const fl::Air air = fl::standard_air(c.altitude_ft * fl::metres_per_foot);
        EXPECT_NEAR(air.density_ratio, c.density_ratio, 5e-4) << c.altitude_ft;
        EXPECT_NEAR(air.speed_of_sound / fl::metres_per_second_per_knot, c.speed_of_sound_kt, 0.05) << c.altitude_ft;
    }
}

// The aircraft flown on a host of its own, without gauges: every step of a
// law, looked at.
struct LawCase {
    const char* what;
    fl::Placement placement;
    std::map<int32_t, double> settings;
    double seconds;
    int32_t watched;
    double target;
    double settles_within;  // at the end
    double overshoots_at_most;  // past the target, on the far side from where it came
    bool angle = false;
};

double off_target(const LawCase& c, double value) {
    return c.angle ? fl::wrap_180(value - c.target) : value - c.target;
}

const std::map<int32_t, double> autopilot = {{AUTOPILOT_ENGAGED, 1}, {ALTITUDE_HOLD, 1},
                                             {AUTOTHROTTLE_ARMED, 1}, {AIRSPEED_HOLD, 1}};

std::map<int32_t, double> with(std::map<int32_t, double> more) {
    more.insert(autopilot.begin(), autopilot.end());
    return more;
}

TEST(FlightLawTests, EachLawFliesToItsTargetWithoutOvershootingIt) {
    const fl::Placement level{.distance_nm = 30, .offset_nm = 10, .altitude_ft = 5000, .heading_deg = 90,
                              .speed_kt = 250};
    const LawCase cases[] = {
        {"a turn right the short way rolls out on the target", {level.distance_nm, 10, 5000, 10, 250},
         with({{HEADING_HOLD, 1}, {HEADING_TARGET, 100}, {ALTITUDE_TARGET, 5000}, {AIRSPEED_TARGET, 250}}), 90,
         HEADING, 100, 0.5, 2, true},
        {"a turn left the short way, through north, rolls out on the target", {30, 10, 5000, 20, 250},
         with({{HEADING_HOLD, 1}, {HEADING_TARGET, 300}, {ALTITUDE_TARGET, 5000}, {AIRSPEED_TARGET, 250}}), 90,
         HEADING, 300, 0.5, 2, true},
        {"a slow turn of 170 degrees left", {30, 10, 3000, 200, 140},
         with({{HEADING_HOLD, 1}, {HEADING_TARGET, 30}, {ALTITUDE_TARGET, 3000}, {AIRSPEED_TARGET, 140}}), 120,
         HEADING, 30, 0.5, 2, true},
        {"a small heading change", {30, 10, 5000, 90, 250},
         with({{HEADING_HOLD, 1}, {HEADING_TARGET, 94}, {ALTITUDE_TARGET, 5000}, {AIRSPEED_TARGET, 250}}), 40,
         HEADING, 94, 0.2, 2, true},
        {"a climb at 1500 ft/min is captured at the target", level,
         with({{ALTITUDE_TARGET, 7000}, {AIRSPEED_TARGET, 250}}), 150, BARO_ALTITUDE, 7000, 5, 20},
        {"a descent at the vertical-speed target", level,
         with({{ALTITUDE_TARGET, 4000}, {VS_TARGET, 800}, {AIRSPEED_TARGET, 250}}), 120, BARO_ALTITUDE, 4000, 5, 20},
        {"a step of 80 ft is held within 20", level,
         with({{ALTITUDE_TARGET, 5080}, {AIRSPEED_TARGET, 250}}), 60, BARO_ALTITUDE, 5080, 5, 20},
        {"a speed increase", level, with({{ALTITUDE_TARGET, 5000}, {AIRSPEED_TARGET, 300}}), 90, AIRSPEED, 300, 1, 3},
        {"a speed reduction", level, with({{ALTITUDE_TARGET, 5000}, {AIRSPEED_TARGET, 180}}), 120, AIRSPEED, 180, 1,
         3},
        {"Mach at cruise altitude", {100, 0, 35000, 260, 250},
         with({{ALTITUDE_TARGET, 35000}, {AIRSPEED_HOLD, 0}, {MACH_HOLD, 1}, {MACH_TARGET, 0.8}}), 120, MACH,
         0.8 * 20000, 0.001 * 20000, 0.003 * 20000},
        {"the localizer is captured from a 30-degree intercept", {15, 3, 3000, 230, 180},
         with({{HEADING_HOLD, 1}, {HEADING_TARGET, 230}, {APPROACH_HOLD, 1}, {ALTITUDE_TARGET, 3000},
               {AIRSPEED_TARGET, 180}}),
         240, LOCALIZER_DEVIATION, 0, 1, 2},
        {"the localizer is captured from the other side", {15, -3, 3000, 290, 180},
         with({{HEADING_HOLD, 1}, {HEADING_TARGET, 290}, {NAV1_HOLD, 1}, {ALTITUDE_TARGET, 3000},
               {AIRSPEED_TARGET, 180}}),
         240, LOCALIZER_DEVIATION, 0, 1, 2},
        {"without the master the aircraft keeps its bank", level,
         {{HEADING_HOLD, 1}, {HEADING_TARGET, 180}}, 30, BANK, 0, 0, 0},
    };
    for (const LawCase& c : cases) {
        HostServices host;
        for (const auto& [id, value] : c.settings) host.set_var(id, value);
        Flight flight(c.placement);
        flight.write(host);
        const double start = off_target(c, host.var(c.watched));
        double overshoot = 0.0;
        for (int64_t i = 0; i < flight_steps(c.seconds); ++i) {
            flight.step(host);
            const double off = off_target(c, host.var(c.watched));
            // Past the target: on the other side of it from the start.
            if (off * start < 0.0) overshoot = std::fmax(overshoot, std::fabs(off));
        }
        EXPECT_LE(std::fabs(off_target(c, host.var(c.watched))), c.settles_within) << c.what;
        EXPECT_LE(overshoot, c.overshoots_at_most) << c.what;
        EXPECT_LE(std::fabs(host.var(BANK)), fl::max_autopilot_bank_deg + 1e-9) << c.what;
    }
}

TEST(FlightLawTests, SettingsThatAreNoNumbersLeaveTheAircraftFlyingWithinItsLimits) {
    const double nan = NAN, inf = INFINITY;
    const struct {
        const char* what;
        int32_t var;
        double value;
    } cases[] = {
        {"a heading target that is not a number", HEADING_TARGET, nan},
        {"an infinite heading target", HEADING_TARGET, -inf},
        {"an altitude target that is not a number", ALTITUDE_TARGET, nan},
        {"an altitude target out of reach", ALTITUDE_TARGET, inf},
        {"a vertical speed that is not a number", VS_TARGET, nan},
        {"an infinite vertical speed", VS_TARGET, -inf},
        {"an airspeed target that is not a number", AIRSPEED_TARGET, nan},
        {"an airspeed target beyond the jet", AIRSPEED_TARGET, 1e9},
        {"a hold that is not a number counts as off", AUTOPILOT_ENGAGED, nan},
    };
    for (const auto& c : cases) {
        HostServices host;
        for (const auto& [id, value] : with({{HEADING_HOLD, 1}, {HEADING_TARGET, 200}, {ALTITUDE_TARGET, 6000},
                                             {AIRSPEED_TARGET, 250}})) {
            host.set_var(id, value);
        }
        host.set_var(c.var, c.value);
        Flight flight({.distance_nm = 30, .offset_nm = 5, .altitude_ft = 5000, .heading_deg = 90, .speed_kt = 250});
        for (int64_t i = 0; i < flight_steps(300); ++i) flight.step(host);
        for (const int32_t var : {HEADING, BANK, PITCH, BARO_ALTITUDE, AIRSPEED, MACH, FD_BANK_COMMAND,
                                  FD_PITCH_COMMAND, LOCALIZER_DEVIATION, DME1_DISTANCE}) {
            EXPECT_TRUE(std::isfinite(host.var(var))) << c.what << ": variable " << var;
        }
        EXPECT_LE(std::fabs(host.var(BANK)), fl::max_autopilot_bank_deg) << c.what;
        EXPECT_LE(std::fabs(host.var(PITCH)), fl::max_pitch_deg) << c.what;
        EXPECT_GE(host.var(AIRSPEED), fl::min_speed_kt - 0.01) << c.what;
        EXPECT_LE(host.var(AIRSPEED), fl::max_speed_kt + 0.01) << c.what;
    }
}

TEST(FlightLawTests, AtItsSlowestTheJetClimbsNoMoreThanItsThrustHolds) {
    // The autothrottle off at idle, the altitude hold asked for a climb: the
    // speed falls to the slowest, and from there the aircraft glides down.
    HostServices host;
    for (const auto& [id, value] : std::map<int32_t, double>{
             {AUTOPILOT_ENGAGED, 1}, {ALTITUDE_HOLD, 1}, {ALTITUDE_TARGET, 9000}}) {
        host.set_var(id, value);
    }
    Flight flight({.distance_nm = 30, .altitude_ft = 5000, .heading_deg = 90, .speed_kt = 150});
    double highest = 0.0;
    for (int64_t i = 0; i < flight_steps(240); ++i) {
        flight.step(host);
        highest = std::fmax(highest, host.var(BARO_ALTITUDE));
        ASSERT_GE(host.var(AIRSPEED), fl::min_speed_kt - 0.01) << "step " << i;
    }
    EXPECT_NEAR(host.var(AIRSPEED), fl::min_speed_kt, 0.01);
    EXPECT_LT(host.var(BARO_ALTITUDE), highest - 100) << "it did not glide";
    EXPECT_LT(highest, 6000) << "it climbed on nothing";
}

}  // namespace
}  // namespace panelhost
