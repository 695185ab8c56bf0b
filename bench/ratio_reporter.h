#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

// A figure: the median of one case divided by the median of another, both from this run.
// Without a counter the times are divided, otherwise that counter's medians. Without a
// second case the figure is the first one's median itself.
struct Ratio {
    std::string name;
    std::string numerator;
    std::string denominator;
    std::string counter;
};

// Keeps the console table for the end and the median of every case, so the ratios can be
// printed first.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    RatioReporter();

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

    // "ratio NAME VALUE" for each ratio whose two cases ran, then the table.
    void print(const std::vector<Ratio>& ratios) const;

private:
    struct Median {
        double milliseconds = 0.0;
        std::map<std::string, double> counters;
    };

    std::ostringstream table_;
    benchmark::ConsoleReporter console_;
    std::map<std::string, Median> medians_;
};
