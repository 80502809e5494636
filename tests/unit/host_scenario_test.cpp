#include <cmath>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/panel/loaded_panel.h"
#include "host/scenario/scenario.h"
#include "host/panel/trace.h"
#include "tests/unit/host_test_module.h"

namespace panelhost::testing {
namespace {

std::string joined(const std::vector<Diagnostic>& messages) {
    std::string all;
    for (const Diagnostic& message : messages) all += message.text + "\n";
    return all;
}

std::vector<Diagnostic> parse(const std::string& text, Scenario& scenario) {
    scenario.file = "s.scn";
    return parse_scenario(text, scenario);
}

TEST(HostScenarioParserTests, EachMistakeNamesItsFileAndLine) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"glide away", "unknown step: glide"},
        {"fly 60", "fly: no aircraft to fly; place it first"},
        {"fly away", "not a value: away"},
        {"fly 0", "fly: 0 s is outside 0 (excluded) to"},
        {"fly 0.02", "shorter than one step of the flight model"},
        {"place altitude 3000", "expected distance, not altitude"},
        {"place distance 10 altitude 3000 heading 90", "expected speed"},
        {"place distance 10 offset altitude 3000 heading 90 speed 200", "not a value: altitude"},
        {"place distance 300 altitude 3000 heading 90 speed 200", "distance 300 nm is not within 250 nm"},
        {"place distance 10 altitude 300 heading 90 speed 200", "altitude 300 ft is outside 400 ft"},
        {"place distance 10 altitude 3000 heading 361 speed 200", "heading 361 is outside 0 to 360"},
        {"place distance 10 altitude 3000 heading 90 speed 90", "speed 90 kt is outside 110 to 350 kt in the air"},
        {"place distance 10 altitude 40000 heading 90 speed 340", "beyond the jet's Mach 0.86"},
        {"place distance 10 altitude 3000 heading 90 speed 200 flaps", "unexpected flaps"},
        {"set", "missing host variable"},
        {"set AIRSPEED_HOLDX 1", "unknown host variable: AIRSPEED_HOLDX"},
        {"set AIRSPEED_HOLD one", "not a value: one"},
        {"set AIRSPEED_HOLD 0x3FF", "exactly 16 hex digits"},
        {"set AIRSPEED_HOLD 1 2", "unexpected 2"},
        {"ramp ALTITUDE 0 100", "missing update count"},
        {"ramp ALTITUDE 0 100 0", "out of range (1 to"},
        {"ramp ALTITUDE 0 100 PITCH 0 5", "missing update count"},
        {"ramp ALTITUDE 0 100 PITCH 0 3", "missing update count"},
        {"ramp ALTITUDE 0 100 PITCHES 0 5 3", "unknown host variable: PITCHES"},
        {"update 0", "out of range (1 to"},
        {"update many", "not a whole number: many"},
        {"install", "missing gauge name"},
        {"click all 1 1", "\"all\" is not allowed here"},
        {"click T 1", "missing y"},
        {"click T 1 1 middle", "unexpected middle"},
        {"click T 1 1 repeat", "missing repeat count"},
        {"click T 1 1 at 2 2", "unexpected at"},
        {"click T \"Knob", "no closing quote"},
        {"click T \"Knob\"x", "runs into a word"},
        {"click T Kn\"ob\"", "quote inside a word"},
        {"repeat 2 on", "unexpected on (repeat [<n>])"},
        {"fail FAIL_ENGINE on", "unknown failure key: FAIL_ENGINE"},
        {"fail 20 maybe", "expected on or off, not maybe"},
        {"aircraft", "missing on or off"},
        {"service T", "missing service code"},
        {"callback T -1", "out of range (0 to"},
        {"expect", "missing what to expect"},
        {"expect colour T 1 red", "unknown expectation: colour"},
        {"expect text T 1 200", "expected text must be in double quotes"},
        {"expect text T 1 \"a\\q\"", "unknown escape \\q"},
        {"expect text \"T\" 1 \"a\"", "gauge name must not be quoted"},
        {"expect visible T 1 maybe", "expected yes or no, not maybe"},
        {"expect event KEY_NOTHING", "unknown key event: KEY_NOTHING"},
        {"expect event KEY_AP_MASTER_SWITCH -1", "out of range (0 to"},
        {"expect no-event now", "unexpected now"},
        {"expect slider T 2 z 1", "unknown axis: z"},
        {"expect slider T 2 rotation 1", "unknown axis: rotation"},
        {"expect var ALTITUDE 1 within -1", "a tolerance must be 0 or more"},
        {"expect flags T 0 0x1FFFFFFFF", "out of range (0 to"},
        {"move Window00 gauge01 120", "missing y"},
        {"move Panel gauge01 1 1", "not a window: Panel"},
        {"move Window00 knob1 1 1", "not a gauge line: knob1"},
        {"move Window00 gauge01 8192 0", "x 8192 is out of range"},
        {"resize Window00 gauge01 0 10", "width 0 is out of range"},
        {"add Window00 PFD 1 1", "not a Module!Gauge: PFD"},
        {"add Window00 Orvane!PFD 1 1 20", "missing height"},
        {"save now", "unexpected now"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        const std::string text = "# a comment\n\n" + std::string(c.line) + "\n";
        const std::vector<Diagnostic> errors = parse(text, scenario);
        ASSERT_EQ(errors.size(), 1u) << c.line << "\n" << joined(errors);
        EXPECT_EQ(errors[0].text.rfind("s.scn:3: ", 0), 0u) << c.line << ": " << errors[0].text;
        EXPECT_NE(errors[0].text.find(c.error), std::string::npos) << c.line << ": " << errors[0].text;
    }
}

TEST(HostScenarioParserTests, EveryMistakeOfAFileIsReported) {
    Scenario scenario;
    const std::vector<Diagnostic> errors = parse("update\nupdat\ninstall T # fine\nset X 1\r\n", scenario);
    ASSERT_EQ(errors.size(), 2u) << joined(errors);
    EXPECT_EQ(errors[0].text.rfind("s.scn:2: ", 0), 0u);
    EXPECT_EQ(errors[1].text.rfind("s.scn:4: ", 0), 0u);
}

TEST(HostScenarioParserTests, StepsReadTheirArguments) {
    Scenario scenario;
    const std::string text =
        "aircraft on\n"
        "set AIRSPEED_HOLD 0x3FF0000000000000\n"
        "ramp 73 100 0 11\n"
        "update\n"
        "click T \"Test Knob\" right repeat 2 at 1 2   # in the knob\n"
        "click T 12 15\n"
        "fail FAIL_GAUGE_ATTITUDE off\n"
        "service T 6 4096\n"
        "expect text T 1 \" 50\\x41\"\n"
        "expect var MACH_TARGET 0.79 within 1e-9\n"
        "expect sprite T 4 rotation -3\n"
        "expect event 0x10312 2\n"
        "expect cursor T 12 15 -1\n";
    ASSERT_TRUE(parse(text, scenario).empty());
    ASSERT_EQ(scenario.steps.size(), 13u);
    auto step = [&](size_t i) { return scenario.steps[i].step; };
    EXPECT_TRUE(std::get<steps::Aircraft>(step(0)).on);
    EXPECT_EQ(std::get<steps::Set>(step(1)).var, 115);
    EXPECT_EQ(std::get<steps::Set>(step(1)).value, 1.0);
    EXPECT_EQ(std::get<steps::Ramp>(step(2)), (steps::Ramp{.vars = {{.var = 73, .from = 100, .to = 0}}, .updates = 11}));
    EXPECT_EQ(std::get<steps::Update>(step(3)).updates, 1);
    EXPECT_EQ(std::get<steps::Click>(step(4)), (steps::Click{.gauge = "T",
                                                             .tooltip = "Test Knob",
                                                             .at = orvane::PixPoint{1, 2},
                                                             .button = Button::right,
                                                             .repeats = 2}));
    EXPECT_EQ(std::get<steps::Click>(step(5)), (steps::Click{.gauge = "T", .point = {12, 15}}));
    EXPECT_EQ(std::get<steps::Fail>(step(6)), (steps::Fail{.key = 8, .on = false}));
    EXPECT_EQ(std::get<steps::Service>(step(7)).extra, 4096u);
    EXPECT_EQ(std::get<steps::ExpectText>(step(8)).text, " 50A");
    EXPECT_TRUE(std::get<steps::ExpectVar>(step(9)).expected.tolerance.has_value());
    EXPECT_EQ(std::get<steps::ExpectSprite>(step(10)).axis, steps::Axis::rotation);
    EXPECT_EQ(std::get<steps::ExpectEvent>(step(11)), (steps::ExpectEvent{.event = 66322, .count = 2}));
    EXPECT_EQ(std::get<steps::ExpectCursor>(step(12)).cursor, -1);
    EXPECT_EQ(scenario.steps[12].line, 13);
}

// Every verb's line as the one formatter writes it reads back as the same
// step: a verb without a line here, or whose line does not read back, fails.
TEST(HostScenarioParserTests, EveryVerbWritesItsStepsAsTheyReadBack) {
    const struct {
        const char* line;
        const char* written;  // when not as given
    } cases[] = {
        {"aircraft off", nullptr},
        {"place distance 10 altitude 3000 heading 260 speed 180",
         "place distance 10 offset 0 altitude 3000 heading 260 speed 180"},
        {"place distance -0.5 offset 1.25 altitude 400 heading 0 speed 0", nullptr},
        {"fly 0.05", nullptr},
        {"fly 3600.0", "fly 3600"},
        {"set AIRSPEED_HOLD 0x3FF0000000000000", "set AIRSPEED_HOLD 1"},
        {"set 9999 -1e-310", nullptr},
        {"ramp 73 100 0 11", "ramp ALTITUDE 100 0 11"},
        {"ramp DECISION_HEIGHT 100 0 AIRSPEED 7 9 3", nullptr},
        {"install all", nullptr},
        {"update", "update 1"},
        {"kill T", nullptr},
        {"click T 12 15", "click T 12 15 left"},
        {"click T -3 2147483647 right repeat 4", nullptr},
        {"click T \"Test \\\"Knob\\\"\\x01\" at 1 -2 right repeat 2",
         "click T \"Test \\\"Knob\\\"\\x01\" right repeat 2 at 1 -2"},
        {"repeat", nullptr},
        {"repeat 3", nullptr},
        {"fail FAIL_GAUGE_ATTITUDE on", "fail 8 on"},
        {"service T 6", nullptr},
        {"service T -1 4294967295", nullptr},
        {"callback T 3", nullptr},
        {"expect text T 1 \" 50\\n\"", nullptr},
        {"expect visible T 0 no", nullptr},
        {"expect flags T 5 7", "expect flags T 5 0x00000007"},
        {"expect event 0x10312 2", "expect event KEY_DECISION_HEIGHT_DEC 2"},
        {"expect event 7 0", nullptr},
        {"expect no-event", nullptr},
        {"expect sound 0", nullptr},
        {"expect cursor T 12 15 -1", nullptr},
        {"expect tooltip T 5 5 \"\"", nullptr},
        {"expect var MACH_TARGET 0.79 within 1e-09", nullptr},
        {"expect var 64 nan", "expect var MACH nan"},
        {"expect var PITCH 0x8000000000000000", nullptr},
        {"expect slider T 2 y 8", nullptr},
        {"expect moving T 3 x -inf within inf", nullptr},
        {"expect sprite T 4 rotation -0", nullptr},
        {"expect result T 1 51", nullptr},
        {"move Window00 gauge01 120 40", nullptr},
        {"move window7 Gauge3 -8192 8191", "move Window07 gauge03 -8192 8191"},
        {"resize VCockpit01 gauge00 300 200", nullptr},
        {"remove vcockpit12 gauge120", "remove VCockpit12 gauge120"},
        {"add Window01 Orvane!PFD 10 20", nullptr},
        {"add Window01 Gauges\\Orvane!DH 10 20 150 40", nullptr},
        {"add VCockpit02 \"My Gauges!Radio #2\" 0 0 100 100", nullptr},
        {"save", nullptr},
        {"save force", nullptr},
    };
    std::set<std::string_view> verbs;
    for (const auto& c : cases) {
        Step step;
        ASSERT_EQ(parse_step(c.line, step), "") << c.line;
        verbs.insert(verb_name(step));
        const std::string written = format_step(step);
        EXPECT_EQ(written, c.written != nullptr ? c.written : c.line);
        Step again;
        ASSERT_EQ(parse_step(written, again), "") << written;
        EXPECT_TRUE(again == step) << c.line << " was written as " << written;
    }
    for (const std::string_view verb : verb_names()) EXPECT_TRUE(verbs.contains(verb)) << "no line of " << verb;
}

TEST(HostScenarioParserTests, OnceTheAircraftFliesOnlyTheModelMovesWhatItDrives) {
    const std::string place = "place distance 10 altitude 3000 heading 260 speed 180\n";
    const struct {
        const char* what;
        std::string text;
        const char* error;  // at line 3, or none
    } cases[] = {
        {"a set before the first fly is the starting state", "set ALTITUDE 900\n" + place + "fly 1\n", nullptr},
        {"a set between place and the first fly", place + "set HEADING 200\nfly 1\n", nullptr},
        {"a set after it is refused", place + "fly 1\nset ALTITUDE 900\n",
         "set ALTITUDE (73): the flight model drives it since the first fly (line 2)"},
        {"so is a ramp of any of its variables", place + "fly 1\nramp DECISION_HEIGHT 0 100 BANK 0 5 3\n",
         "ramp of BANK (80)"},
        {"the flight director's commands are the model's", place + "fly 1\nset 793 2\n", "FD_PITCH_COMMAND (793)"},
        {"the crew's settings stay the crew's", place + "fly 1\nset HEADING_TARGET 90\nset ALTITUDE_HOLD 0\n",
         nullptr},
        {"placing anew leaves the rule standing", place + "fly 1\n" + place + "set AIRSPEED 150\n", "line 2"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        const std::vector<Diagnostic> errors = parse(c.text, scenario);
        if (c.error == nullptr) {
            EXPECT_TRUE(errors.empty()) << c.what << "\n" << joined(errors);
            continue;
        }
        ASSERT_EQ(errors.size(), 1u) << c.what << "\n" << joined(errors);
        EXPECT_NE(errors[0].text.find(c.error), std::string::npos) << c.what << ": " << errors[0].text;
    }
}

TEST(HostScenarioParserTests, ExpectedValuesMatchAsWritten) {
    const struct {
        const char* what;
        ExpectedValue expected;
        double actual;
        bool matches;
    } cases[] = {
        {"equal", {.value = 0.79}, 0.78 + 0.01, true},
        {"close but not equal", {.value = 0.3}, 0.1 + 0.2, false},
        {"within a tolerance", {.value = 0.3, .tolerance = 1e-12}, 0.1 + 0.2, true},
        {"NaN matches NaN", {.value = std::nan("")}, std::nan("1"), true},
        {"NaN does not match a number", {.value = std::nan("")}, 0.0, false},
        {"minus zero equals zero", {.value = -0.0}, 0.0, true},
        {"a bit pattern tells them apart", {.value = -0.0, .exact_bits = true}, 0.0, false},
        {"infinity", {.value = INFINITY}, INFINITY, true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected.matches(c.actual), c.matches) << c.what;
}

class HostScenarioRunTests : public HostedTestModule {
protected:
    std::vector<Diagnostic> run(const std::string& text) {
        Scenario scenario;
        const std::vector<Diagnostic> errors = parse(text, scenario);
        EXPECT_TRUE(errors.empty()) << joined(errors);
        const std::vector<Diagnostic> names = check_gauge_names(scenario, panel);
        EXPECT_TRUE(names.empty()) << joined(names);
        return run_scenario(scenario, panel, host, &trace).failures;
    }

    Trace trace;
    Panel panel{host, test_records(), &trace};
};

TEST_F(HostScenarioRunTests, AScenarioWhoseExpectationsHoldHasNoFailures) {
    const std::vector<Diagnostic> failures = run(
        "aircraft on\n"
        "set DECISION_HEIGHT 50\n"
        "set FD_PITCH_COMMAND 4\n"
        "set ALTITUDE_TARGET 1000\n"
        "install all\n"
        "update\n"
        "expect text T 1 \"50\"\n"
        "expect text U 0 \"\"\n"
        "expect result T 1 51\n"
        "expect slider T 2 y 8\n"
        "expect slider T 2 x 0\n"
        "expect visible T 5 no\n"
        "expect visible T 0 yes\n"
        "expect flags T 5 0x40000001\n"
        "expect tooltip T 12 15 \"Test Knob\"\n"
        "expect tooltip T 5 5 \"Test Gauge\"\n"
        "expect cursor T 12 15 2\n"
        "click T \"Test Knob\" at 1 1 repeat 1\n"
        "expect event KEY_ALTITUDE_TARGET_DEC 2\n"
        "expect var ALTITUDE_TARGET 800\n"
        "click T 35 15\n"
        "expect event KEY_FLIGHT_DIRECTOR_TOGGLE\n"
        "expect var FLIGHT_DIRECTOR 1\n"
        "expect no-event\n"
        "fail 20 on\n"
        "expect visible T 0 no\n"
        "expect sound 0\n");
    EXPECT_TRUE(failures.empty()) << joined(failures);
}

TEST_F(HostScenarioRunTests, AFailedExpectationNamesItsLineTheExpectedAndTheActual) {
    const struct {
        const char* scenario;
        const char* failure;
    } cases[] = {
        {"install T\nset DECISION_HEIGHT 5\nupdate\nexpect text T 1 \"50\"",
         "s.scn:4: expect text T 1: expected \"50\", actual \"5\""},
        {"install T\nexpect text T 2 \"\"", "s.scn:2: expect text T 2: the element is not a text"},
        {"expect text T 1 \"\"", "s.scn:1: T is not installed"},
        {"install T\nexpect text T 9 \"\"", "s.scn:2: T has no element 9 (6 elements)"},
        {"expect visible T 5 yes", "s.scn:1: expect visible T 5: expected yes, actual no (hide bit set)"},
        {"fail 20 on\nexpect visible T 0 yes", "s.scn:2: expect visible T 0: expected yes, actual no (failure)"},
        {"expect flags T 0 0x7", "s.scn:1: expect flags T 0: expected 0x00000007, actual 0x00000001"},
        {"click T 12 15\nexpect event KEY_ALTITUDE_TARGET_DEC 2",
         "s.scn:2: expect event KEY_ALTITUDE_TARGET_DEC: expected 2, actual 1 "
         "(pending: KEY_ALTITUDE_TARGET_DEC (line 1))"},
        {"click T 12 15\nexpect no-event", "s.scn:2: expect no-event: actual KEY_ALTITUDE_TARGET_DEC (line 1)"},
        {"expect sound 1", "s.scn:1: expect sound: expected 1, actual 0"},
        {"expect cursor T 12 15 5", "s.scn:1: expect cursor T 12 15: expected 5, actual 2"},
        {"expect tooltip T 12 15 \"\"", "s.scn:1: expect tooltip T 12 15: expected \"\", actual \"Test Knob\""},
        {"set MACH_TARGET 0.3\nexpect var MACH_TARGET 0.1 within 0.1",
         "s.scn:2: expect var 118: expected 0.1 within 0.1, actual 0.3"},
        {"install T\nupdate\nexpect slider T 1 x 0", "s.scn:3: expect slider T 1: the element is a text"},
        {"install T\nset FD_PITCH_COMMAND 1\nupdate\nexpect slider T 2 y 1",
         "s.scn:4: expect slider T 2: expected 1, actual 2"},
        {"install T\nexpect result T 1 1", "s.scn:2: expect result T 1: expected 1, but no callback ran"},
        {"install T\ninstall T", "s.scn:2: T is already installed"},
        {"kill T", "s.scn:1: T is not installed"},
        {"click T \"Nothing\"", "s.scn:1: T has no area with the tooltip \"Nothing\""},
        {"callback T 0", "s.scn:1: T element 0 (static image) has no callback"},
    };
    for (const auto& c : cases) {
        reset_test_module();
        Panel fresh(host, test_records(), &trace);
        Scenario scenario;
        ASSERT_TRUE(parse(c.scenario, scenario).empty()) << c.scenario;
        const std::vector<Diagnostic> failures = run_scenario(scenario, fresh, host, nullptr).failures;
        ASSERT_EQ(failures.size(), 1u) << c.scenario << "\n" << joined(failures);
        EXPECT_EQ(failures[0].text, c.failure);
        host.take_key_events();
    }
}

TEST_F(HostScenarioRunTests, ExpectEventTakesOnlyTheEventsItNames) {
    const std::vector<Diagnostic> failures = run(
        "click T 12 15\n"
        "click T 35 15\n"
        "expect event KEY_FLIGHT_DIRECTOR_TOGGLE\n"
        "expect event KEY_FLIGHT_DIRECTOR_TOGGLE 0\n"
        "expect event KEY_ALTITUDE_TARGET_DEC\n"
        "expect no-event\n"
        "click T 12 15\n"
        "expect no-event\n"
        "expect no-event\n");
    ASSERT_EQ(failures.size(), 1u) << joined(failures);
    EXPECT_EQ(failures[0].text, "s.scn:8: expect no-event: actual KEY_ALTITUDE_TARGET_DEC (line 7)");
}

TEST_F(HostScenarioRunTests, ARampSetsEvenStepsFromFirstToLastUpdate) {
    const std::vector<Diagnostic> failures = run(
        "install T\n"
        "ramp DECISION_HEIGHT 100 0 5\n"
        "expect var DECISION_HEIGHT 0\n"
        "expect text T 1 \"0\"\n"
        "ramp AIRSPEED 7 9 1\n"
        "expect moving T 3 y 9\n");
    EXPECT_TRUE(failures.empty()) << joined(failures);
    EXPECT_EQ(panel.update_count(), 6u);
    for (const char* line : {"set 615 DECISION_HEIGHT 100\nupdate 1\n", "set 615 DECISION_HEIGHT 75\nupdate 2\n",
                             "set 615 DECISION_HEIGHT 50\nupdate 3\n", "set 615 DECISION_HEIGHT 25\nupdate 4\n",
                             "set 615 DECISION_HEIGHT 0\nupdate 5\n", "set 61 AIRSPEED 9\nupdate 6\n"}) {
        EXPECT_NE(trace.text().find(line), std::string::npos) << line;
    }
}

TEST_F(HostScenarioRunTests, ARampMovesEveryVariableItNamesTogether) {
    const std::vector<Diagnostic> failures = run(
        "install T\n"
        "ramp DECISION_HEIGHT 100 0 AIRSPEED 7 9 PITCH 1 1 3\n"
        "expect var DECISION_HEIGHT 0\n"
        "expect var AIRSPEED 9\n");
    EXPECT_TRUE(failures.empty()) << joined(failures);
    EXPECT_EQ(panel.update_count(), 3u);
    EXPECT_NE(trace.text().find("set 615 DECISION_HEIGHT 50\nset 61 AIRSPEED 8\nset 78 PITCH 1\nupdate 2\n"),
              std::string::npos)
        << trace.text();
}

TEST_F(HostScenarioRunTests, TheObserverSeesEveryUpdateWithTheStepThatRanIt) {
    Scenario scenario;
    ASSERT_TRUE(parse("install T\nupdate 2\nramp AIRSPEED 1 2 3\nset AIRSPEED 5\n", scenario).empty());
    std::vector<int> lines;
    std::vector<double> airspeeds;
    run_scenario(scenario, panel, host, &trace, [&](const UpdateCycle& cycle) {
        lines.push_back(cycle.step.line);
        airspeeds.push_back(host.var(61));
    });
    EXPECT_EQ(lines, (std::vector<int>{2, 2, 3, 3, 3}));
    EXPECT_EQ(airspeeds, (std::vector<double>{0, 0, 1, 1.5, 2}));
}

TEST_F(HostScenarioRunTests, APlacedAircraftFliesOnlyInFly) {
    Scenario scenario;
    ASSERT_TRUE(parse("place distance 10 altitude 3000 heading 260 speed 180\n"
                      "expect var HEADING 260\n"
                      "expect var BARO_ALTITUDE 3000\n"
                      "expect var AIRSPEED 180 within 1e-9\n"
                      "install T\n"
                      "update 3\n"
                      "expect var DME1_DISTANCE 10.009 within 0.001\n"  // slant: 2600 ft above the DME
                      "fly 0.5\n"
                      "expect var DME1_DISTANCE 9.983 within 0.001\n",  // 188 kt true for half a second
                      scenario)
                    .empty());
    std::vector<int64_t> cycles;
    const std::vector<Diagnostic> failures =
        run_scenario(scenario, panel, host, &trace, [&](const UpdateCycle& cycle) {
            if (cycle.flown) cycles.push_back(cycle.index);
        }).failures;
    EXPECT_TRUE(failures.empty()) << joined(failures);
    EXPECT_EQ(cycles, (std::vector<int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8})) << "half a second is 9 steps";
    EXPECT_EQ(panel.update_count(), 12u);
    EXPECT_NE(trace.text().find("place distance 10 offset 0 altitude 3000 heading 260 speed 180\n  aircraft east "),
              std::string::npos)
        << trace.text();
    EXPECT_NE(trace.text().find("fly 0.5\nupdate 4\n"), std::string::npos) << trace.text();
    // Placing switches the aircraft on: a hold answers its switch.
    host_trigger(KEY_AP_MASTER_SWITCH);
    EXPECT_EQ(host.var(AUTOPILOT_ENGAGED), 1.0);
}

TEST_F(HostScenarioRunTests, ARepeatActsWhereTheLastClickHoldsItsButtonAfterTheUpdatesBetween) {
    const std::vector<Diagnostic> failures = run(
        "install T\n"
        "click T \"Test Knob\" at 1 1\n"
        "update 2\n"
        "repeat\n"
        "update\n"
        "repeat 2\n"
        "expect event KEY_ALTITUDE_TARGET_DEC 4\n"
        "click T 12 15 right\n"
        "repeat\n"
        "expect event KEY_ALTITUDE_TARGET_DEC 2\n"
        "click T 35 15\n"
        "repeat 3\n"
        "expect no-event\n");
    // The handler's row takes no repeat: its click alone sends its event.
    ASSERT_EQ(failures.size(), 1u) << joined(failures);
    EXPECT_EQ(failures[0].text, "s.scn:13: expect no-event: actual KEY_FLIGHT_DIRECTOR_TOGGLE (line 11)");
    const std::string press = "  repeat row 4 event cursor 2 tooltip \"Test Knob\"\n    event 65893 KEY_ALTITUDE_TARGET_DEC\n";
    EXPECT_NE(trace.text().find("update 2\n  T\n"), std::string::npos) << trace.text();
    EXPECT_NE(trace.text().find("repeat T 11 11 left\n" + press + "update 3\n"), std::string::npos) << trace.text();
    EXPECT_NE(trace.text().find("repeat T 11 11 left\n" + press + press + "click T 12 15 right\n"), std::string::npos)
        << trace.text();
    EXPECT_NE(trace.text().find("repeat T 12 15 right\n" + press), std::string::npos) << trace.text();
    EXPECT_NE(trace.text().find("repeat T 35 15 left\n  repeat none cursor 1 tooltip \"Test Knob\"\n"),
              std::string::npos)
        << trace.text();
}

TEST_F(HostScenarioRunTests, FaultsFailTheRunAtTheStepThatCausedThem) {
    calls.text_mode = TextMode::past_end;
    const std::vector<Diagnostic> failures = run("install T\nupdate\nupdate\n");
    ASSERT_EQ(failures.size(), 2u) << joined(failures);
    EXPECT_EQ(failures[0].text.rfind("s.scn:2: T element 1: the module wrote past the end", 0), 0u) << failures[0].text;
    EXPECT_EQ(failures[0].severity, Severity::fault);
    EXPECT_EQ(failures[1].text.rfind("s.scn:3: ", 0), 0u) << failures[1].text;
}

TEST_F(HostScenarioRunTests, GaugesStillInstalledAreKilledAtTheEnd) {
    EXPECT_TRUE(run("install T\nupdate\n").empty());
    EXPECT_EQ(calls.services, (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 12, 13}));
    EXPECT_EQ(test_text.string, nullptr);
    EXPECT_NE(trace.text().find("kill T\n"), std::string::npos);
}

TEST_F(HostScenarioRunTests, ARunStopsWhereItsTracePassesItsBoundAndKillsWhatIsInstalled) {
    Scenario scenario;
    std::string text = "install T\n";
    for (int i = 0; i < 10; ++i) text += "click T 12 15 repeat 99999\n";
    ASSERT_TRUE(parse(text, scenario).empty());
    const RunOutcome result = run_scenario(scenario, panel, host, &trace);
    ASSERT_TRUE(result.stopped);
    EXPECT_EQ(result.stopped->text.rfind("s.scn:", 0), 0u) << result.stopped->text;
    EXPECT_NE(result.stopped->text.find(": the trace passes 67108864 bytes here (at most 67108864 a file)"),
              std::string::npos)
        << result.stopped->text;
    EXPECT_FALSE(result.held());
    // Stopped at the step that passed the bound: the later clicks never ran.
    EXPECT_LT(trace.text().size(), max_trace_bytes + 2 * 100000 * 100);
    EXPECT_EQ(calls.services.back(), SERVICE_POST_KILL);
}

TEST_F(HostScenarioRunTests, EditStepsEditThePanelCfgTheRunHasOpenAndFailAtTheirLineWithout) {
    Scenario scenario;
    ASSERT_TRUE(
        parse("move Window00 gauge00 5 6\nremove Window00 gauge07\nadd Window00 Orvane!DH 1 2\nsave\n", scenario)
            .empty());
    const std::string missing = "/nonexistent-folder/p.cfg";
    PanelDocument document("[Window00]\ngauge00=Orvane!PFD, 0, 0\n", missing);
    const RunOutcome dry = run_scenario(scenario, panel, host, &trace, {}, {.document = &document, .dry_run = true});
    ASSERT_EQ(dry.failures.size(), 1u) << joined(dry.failures);
    EXPECT_EQ(dry.failures[0].text,
              "s.scn:2: remove: " + missing + " has no gauge07 in [Window00] (its gauges: gauge00)");
    EXPECT_EQ(document.text(), "[Window00]\ngauge00=Orvane!PFD, 5, 6\ngauge01=Orvane!DH, 1, 2\n");
    EXPECT_NE(trace.text().find("move Window00 gauge00 5 6\n"), std::string::npos) << trace.text();

    // Saved for real, a file that is no longer there is not written.
    PanelDocument again("[Window00]\ngauge00=Orvane!PFD, 0, 0\n", missing);
    const RunOutcome saved = run_scenario(scenario, panel, host, &trace, {}, {.document = &again});
    ASSERT_EQ(saved.failures.size(), 2u) << joined(saved.failures);
    EXPECT_EQ(saved.failures[1].text.rfind("s.scn:4: save: " + missing + " has changed on disk", 0), 0u);

    const RunOutcome without = run_scenario(scenario, panel, host, &trace);
    ASSERT_EQ(without.failures.size(), 4u) << joined(without.failures);
    EXPECT_EQ(without.failures[0].text, "s.scn:1: move: no panel.cfg is open to edit (panelhost edit opens one)");
    EXPECT_EQ(without.failures[3].text, "s.scn:4: save: no panel.cfg is open to edit (panelhost edit opens one)");
}

TEST_F(HostScenarioRunTests, UnknownGaugeNamesAreFoundBeforeTheRun) {
    Scenario scenario;
    ASSERT_TRUE(parse("install all\nclick V 1 1\nkill all\nexpect text W 1 \"\"\nclick T:2 1 1\nclick T:3 1 1\n"
                      "click U:2 1 1\n",
                      scenario)
                    .empty());
    ASSERT_TRUE(panel.set_placements("T", 2).ok());
    const std::vector<Diagnostic> errors = check_gauge_names(scenario, panel);
    ASSERT_EQ(errors.size(), 4u) << joined(errors);
    EXPECT_EQ(errors[0].text, "s.scn:2: the module has no gauge named V");
    EXPECT_EQ(errors[1].text, "s.scn:4: the module has no gauge named W");
    EXPECT_EQ(errors[2].text, "s.scn:6: the module has no gauge named T:3 (the panel places T 2 times, T to T:2)");
    EXPECT_EQ(errors[3].text, "s.scn:7: the module has no gauge named U:2 (the panel places U once)");
}

// Two pilots' PFDs and FD units on the built module: the first officer's
// ILS button works the state both PFDs show, and each placement is updated
// and killed on its own.
TEST(HostScenarioPlacementTests, AClickOnASecondPlacementActsOnTheStateEveryPlacementShows) {
    std::string error;
    const auto loaded = LoadedPanel::open(ORVANE_MODULE_PATH, error);
    ASSERT_NE(loaded, nullptr) << error;
    Panel& panel = loaded->panel();
    ASSERT_TRUE(panel.set_placements("PFD", 2).ok());
    ASSERT_TRUE(panel.set_placements("FD", 2).ok());
    Scenario scenario;
    ASSERT_TRUE(parse("install all\n"
                      "update\n"
                      "expect visible PFD:2 24 no\n"
                      "click FD:2 \"Toggle Glideslope Angle\"\n"
                      "update\n"
                      "expect visible PFD 24 yes\n"
                      "expect visible PFD:2 24 yes\n"
                      "expect visible FD 1 yes\n"
                      "kill PFD\n"
                      "update\n",
                      scenario)
                    .empty());
    ASSERT_TRUE(check_gauge_names(scenario, panel).empty());
    const RunOutcome outcome = run_scenario(scenario, panel, loaded->host(), &loaded->trace());
    EXPECT_TRUE(outcome.failures.empty()) << joined(outcome.failures);
    const std::string& trace = loaded->trace().text();
    for (const char* line : {"install PFD:2\n", "install FD:2\n", "update 1\n  AP\n", "\n  PFD:2\n    text ",
                             "click FD:2 30 8 left\n  press row 7 handler cursor 5 tooltip \"Toggle Glideslope "
                             "Angle\"\nupdate 2\n",
                             "kill PFD\nupdate 3\n  AP\n"}) {
        EXPECT_NE(trace.find(line), std::string::npos) << line << "\nin\n" << trace;
    }
    const size_t last = trace.find("update 3\n");
    EXPECT_EQ(trace.find("  PFD\n", last), std::string::npos) << "the killed PFD is not updated";
    EXPECT_NE(trace.find("  PFD:2\n    text ", last), std::string::npos) << "the other PFD is";
}

}  // namespace
}  // namespace panelhost::testing
