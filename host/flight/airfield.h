// The one airfield the flight model flies around, on a flat earth: runway 26
// and its radio aids. Positions are metres east and north of the runway
// threshold; altitudes are metres above sea level.
#pragma once

namespace panelhost::flight {

// Runway 26: landing course 260 degrees true (no magnetic variation), the
// threshold 400 ft above sea level, the ground around it all at that height.
inline constexpr double runway_course_deg = 260.0;
inline constexpr double field_elevation_ft = 400.0;
inline constexpr double runway_length_m = 3000.0;
// The ILS on NAV1: the localizer at the far end of the runway, the 3-degree
// glideslope from the threshold, its DME (DME1) at the threshold.
inline constexpr double glideslope_deg = 3.0;
// Full scale of the deviations, in the host's units and in degrees off the
// beam; beyond it a deviation stays at full scale.
inline constexpr double localizer_full_scale = 127.0;
inline constexpr double localizer_full_scale_deg = 2.5;
inline constexpr double glideslope_full_scale = 120.0;
inline constexpr double glideslope_full_scale_deg = 0.7;
// The VOR-DME on NAV2 (DME2), 15 nm north of the threshold.
inline constexpr double vor_north_nm = 15.0;

struct Point {
    double east = 0.0;
    double north = 0.0;
};

// Where the aircraft is relative to the runway's extended centreline.
struct Approach {
    double before_threshold_m;  // along the centreline, positive short of the threshold
    double right_of_course_m;   // across it, positive right of it seen along the landing direction
};

struct RadioReadings {
    double localizer;   // +-127: positive when the localizer lies to the right (the aircraft left of it)
    double glideslope;  // +-120: positive when the glideslope lies below (the aircraft above it)
    double dme1_nm;     // slant ranges
    double dme2_nm;
};

// The point `distance` nautical miles short of the threshold on the extended
// centreline and `offset` to the right of it.
Point approach_point(double distance_nm, double offset_nm);
Approach approach_of(Point p);
RadioReadings radio_readings(Point p, double altitude_m);

// The landing direction and its right, as east and north components.
Point course_direction();
Point course_right();

}  // namespace panelhost::flight
