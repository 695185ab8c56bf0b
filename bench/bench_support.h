#pragma once

class Program;

// The program the benchmarks drive: one, made by main() before any benchmark runs, with
// the desktop's own platform.
Program& benchProgram();
void setBenchProgram(Program* program);

// Lets through the events a handler left behind, its one repaint among them, so that they
// are part of what is timed.
void settle();

// How many times each case is measured; the repetitions of all cases are interleaved.
inline constexpr int benchRepetitions = 15;

void registerPlotBenchmarks();
void registerCalibrationBenchmarks();
void registerStartupBenchmarks();
void registerSurfaceBenchmarks();
void registerExportBenchmarks();
void registerSessionBenchmarks();
void registerExploreBenchmarks();
void registerLensBenchmarks();
