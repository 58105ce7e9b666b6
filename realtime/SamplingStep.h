#pragma once
// The sampling rule shared by the real-time recording and the monitor: a reading becomes a sample
// when at least one interval has passed since the previous sample, so intervals are never shorter
// than asked and grow by the wait for the next reading. An interval of 0 takes every reading.
constexpr bool samplingDue(double sincePrevious, double interval)
{
    return !(sincePrevious < interval);
}
