#include "host/flight/airfield.h"

#include <algorithm>
#include <cmath>

#include "host/flight/atmosphere.h"
#include "host/flight/flight_math.h"

namespace panelhost::flight {
namespace {

struct Runway {
    Point along;  // the landing direction
    Point right;
    double localizer_edge;   // tan of the localizer's full scale
    double glideslope_low;   // tan of the glideslope's lower and upper full scale
    double glideslope_high;
};

const Runway& runway() {
    static const Runway r = [] {
        const SinCos course = sin_cos(runway_course_deg * radians_per_degree);
        return Runway{.along = {course.sin, course.cos},
                      .right = {course.cos, -course.sin},
                      .localizer_edge = tan(localizer_full_scale_deg * radians_per_degree),
                      .glideslope_low = tan((glideslope_deg - glideslope_full_scale_deg) * radians_per_degree),
                      .glideslope_high = tan((glideslope_deg + glideslope_full_scale_deg) * radians_per_degree)};
    }();
    return r;
}

double slant_nm(double east, double north, double height) {
    return std::sqrt(east * east + north * north + height * height) / metres_per_nautical_mile;
}

}  // namespace

Point course_direction() { return runway().along; }
Point course_right() { return runway().right; }

Point approach_point(double distance_nm, double offset_nm) {
    const Runway& r = runway();
    const double back = distance_nm * metres_per_nautical_mile;
    const double side = offset_nm * metres_per_nautical_mile;
    return {.east = -back * r.along.east + side * r.right.east, .north = -back * r.along.north + side * r.right.north};
}

Approach approach_of(Point p) {
    const Runway& r = runway();
    return {.before_threshold_m = -(p.east * r.along.east + p.north * r.along.north),
            .right_of_course_m = p.east * r.right.east + p.north * r.right.north};
}

RadioReadings radio_readings(Point p, double altitude_m) {
    const Runway& r = runway();
    const Approach a = approach_of(p);
    const double height = altitude_m - field_elevation_ft * metres_per_foot;
    RadioReadings readings{};

    // The localizer's angle off the centreline, seen from its antenna; off
    // full scale, and behind the antenna, it is full scale.
    const double from_antenna = a.before_threshold_m + runway_length_m;
    const double across = a.right_of_course_m;
    if (from_antenna > 0.0 && std::fabs(across) < from_antenna * r.localizer_edge) {
        const double angle = atan(across / from_antenna) * degrees_per_radian;
        readings.localizer = -localizer_full_scale * angle / localizer_full_scale_deg;
    } else {
        readings.localizer = across > 0.0 ? -localizer_full_scale : localizer_full_scale;
    }
    readings.localizer = std::clamp(readings.localizer, -localizer_full_scale, localizer_full_scale);

    // The glideslope's: the elevation of the aircraft seen from the threshold.
    const double ground = std::sqrt(p.east * p.east + p.north * p.north);
    if (height <= ground * r.glideslope_low) {
        readings.glideslope = -glideslope_full_scale;
    } else if (height >= ground * r.glideslope_high) {
        readings.glideslope = glideslope_full_scale;
    } else {
        const double elevation = atan(height / ground) * degrees_per_radian;
        readings.glideslope =
            std::clamp(glideslope_full_scale * (elevation - glideslope_deg) / glideslope_full_scale_deg,
                       -glideslope_full_scale, glideslope_full_scale);
    }

    readings.dme1_nm = slant_nm(p.east, p.north, height);
    readings.dme2_nm = slant_nm(p.east, p.north - vor_north_nm * metres_per_nautical_mile, height);
    return readings;
}

}  // namespace panelhost::flight
