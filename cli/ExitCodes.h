#pragma once
// Exit codes of k352-cli. The load results of a download or a collection file are 10 + the
// load result code, so a script sees exactly what the program would have told the user.
#include "logger/MemoryDownload.h"

#include <QString>

namespace CliExit {
constexpr int Success = 0;
constexpr int Usage = 1;
constexpr int NoMeter = 2;
constexpr int MeterRecording = 3;
constexpr int FileError = 4;
constexpr int ExchangeFailed = 5; // an exchange with the meter failed
constexpr int MonitorWriteFailed = 6; // monitoring files could not be written any more mid-run
constexpr int BrokerFailed = 7; // publish: the broker could not be reached or did not acknowledge everything
constexpr int LoadResultBase = 10;
constexpr int DamagedSet = LoadResultBase + int(LoadResult::DamagedSet);       // 11
constexpr int TooManySets = LoadResultBase + int(LoadResult::TooManySets);     // 12
constexpr int ShortTransfer = LoadResultBase + int(LoadResult::ShortTransfer); // 13
constexpr int PointerFailed = LoadResultBase + int(LoadResult::PointerFailed); // 14
constexpr int NoStartEcho = LoadResultBase + int(LoadResult::NoStartEcho);     // 15
constexpr int NoDataSet = LoadResultBase + int(LoadResult::NoDataSet);         // 16
constexpr int LinkFailed = 20; // the port failed during the transfer

// 0 for load result 0, else 10 + the code.
constexpr int forLoadResult(LoadResult code) { return code == LoadResult::Loaded ? Success : LoadResultBase + int(code); }
}

// What a load result means, in a few English words for standard error.
inline QString loadResultDescription(LoadResult code)
{
    switch (code) {
    case LoadResult::Loaded: return QStringLiteral("data sets loaded");
    case LoadResult::DamagedSet: return QStringLiteral("a damaged data set was found");
    case LoadResult::TooManySets: return QStringLiteral("Memory error! (more than 4000 data sets)");
    case LoadResult::ShortTransfer: return QStringLiteral("the transfer ended with fewer bytes than requested");
    case LoadResult::PointerFailed: return QStringLiteral("the memory's end pointer could not be read");
    case LoadResult::NoStartEcho: return QStringLiteral("the meter did not answer the start of the transfer");
    case LoadResult::NoDataSet: return QStringLiteral("There is not any recorded data in memory!");
    case LoadResult::NotRun: break;
    }
    return QStringLiteral("load result %1").arg(int(code));
}
