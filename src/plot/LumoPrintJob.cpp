#include "plot/LumoPrintJob.h"

#include <utility>

namespace KVD {

LumoPrintJob::LumoPrintJob(std::string plotId, std::string jobName)
    : mJobName(std::move(jobName)), mPlotId(std::move(plotId))
{
}

bool LumoPrintJob::Finished() const
{
    return mReceived || Failed() || Cancelled();
}

}  // namespace KVD
