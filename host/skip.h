#pragma once
// Skip-on-failure, for the few routines that drop a failing step and go on with the next:
// a value the step would have set keeps its previous value, and a condition whose test
// fails counts as met. Only host failures are skipped, each recorded in the support log of
// the environment the caller works for; anything else travels on.
#include "host/environment.h"
#include "host/failure.h"

namespace host {

template <class Step>
void skip(Environment& env, Step&& step) {
    try {
        step();
    } catch (const Failure& failure) {
        env.log_failure(failure, Shown::no);
    }
}

// The value of a condition under skip-on-failure: true when the test holds or fails.
template <class Test>
bool met_or_failed(Environment& env, Test&& test) {
    try {
        return test();
    } catch (const Failure& failure) {
        env.log_failure(failure, Shown::no);
        return true;
    }
}

// Until every caller names its environment.
template <class Step>
void skip(Step&& step) {
    try {
        step();
    } catch (const Failure&) {
    }
}
template <class Test>
bool met_or_failed(Test&& test) {
    try {
        return test();
    } catch (const Failure&) {
        return true;
    }
}

}  // namespace host
