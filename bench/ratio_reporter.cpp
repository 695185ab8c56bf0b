#include "ratio_reporter.h"

#include <cstdio>
#include <iostream>

namespace {

double toMilliseconds(double value, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond:
        return value / 1e6;
    case benchmark::kMicrosecond:
        return value / 1e3;
    case benchmark::kMillisecond:
        return value;
    case benchmark::kSecond:
        return value * 1e3;
    }
    return value;
}

} // namespace

RatioReporter::RatioReporter() : console_(benchmark::ConsoleReporter::OO_Tabular) {
    console_.SetOutputStream(&table_);
    console_.SetErrorStream(&std::cerr);
}

bool RatioReporter::ReportContext(const Context& context) {
    return console_.ReportContext(context);
}

void RatioReporter::ReportRuns(const std::vector<Run>& reports) {
    console_.ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
            continue;
        Median& median = medians_[run.run_name.function_name];
        median.milliseconds = toMilliseconds(run.GetAdjustedRealTime(), run.time_unit);
        for (const auto& [name, counter] : run.counters)
            median.counters[name] = counter.value;
    }
}

void RatioReporter::Finalize() {
    console_.Finalize();
}

void RatioReporter::print(const std::vector<Ratio>& ratios) const {
    for (const Ratio& ratio : ratios) {
        const auto numerator = medians_.find(ratio.numerator);
        const auto denominator = medians_.find(ratio.denominator);
        const bool alone = ratio.denominator.empty();
        if (numerator == medians_.end() || (!alone && denominator == medians_.end()))
            continue;
        const auto valueOf = [&ratio](const Median& median) {
            if (ratio.counter.empty())
                return median.milliseconds;
            const auto counter = median.counters.find(ratio.counter);
            return counter == median.counters.end() ? 0.0 : counter->second;
        };
        const double value = valueOf(numerator->second);
        std::printf("ratio %s %.2f\n", ratio.name.c_str(),
                    alone ? value : value / valueOf(denominator->second));
    }
    std::fputs(table_.str().c_str(), stdout);
    std::fflush(stdout);
}
