// What each expectation checks on a run, failing the run at its line with
// the expected and the actual when it does not hold.
#pragma once

#include "host/scenario/step_run.h"
#include "host/scenario/steps.h"

namespace panelhost {

void check_expectation(StepRun& run, const steps::ExpectText& step);
void check_expectation(StepRun& run, const steps::ExpectVisible& step);
void check_expectation(StepRun& run, const steps::ExpectFlags& step);
void check_expectation(StepRun& run, const steps::ExpectEvent& step);
void check_expectation(StepRun& run, const steps::ExpectNoEvent& step);
void check_expectation(StepRun& run, const steps::ExpectSound& step);
void check_expectation(StepRun& run, const steps::ExpectCursor& step);
void check_expectation(StepRun& run, const steps::ExpectTooltip& step);
void check_expectation(StepRun& run, const steps::ExpectVar& step);
void check_expectation(StepRun& run, const steps::ExpectSlider& step);
void check_expectation(StepRun& run, const steps::ExpectMoving& step);
void check_expectation(StepRun& run, const steps::ExpectSprite& step);
void check_expectation(StepRun& run, const steps::ExpectResult& step);

}  // namespace panelhost
