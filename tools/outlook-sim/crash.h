#pragma once
// A host that dies is a failed run, at once: no debugger is waited for, the error stream
// gets one line that names the fault, the scenario and its step, and the process ends with
// status 3. What the transcript had before the step is already written.
namespace outlook_sim {

inline constexpr int crashed_status = 3;

// Installs the handler for the whole process.
void end_at_a_crash();
// What is being played, for the line: the scenario (held by the caller) and its step.
void now_playing(const char* scenario);
void now_at_step(unsigned long step);

}  // namespace outlook_sim
