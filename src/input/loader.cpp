#include "input/loader.h"

#include "common/error.h"
#include "common/messages.h"
#include "input/loader_layouts.h"

namespace pqwave {
namespace loading {

TableWriter::TableWriter(LoadResult& result, const LoadRequest& request) : result_(result) {
    for (int k = 0; k < 16; ++k) {
        int column = request.channelMap[k];
        destinations_[k] = {column, request.invertedPosition[column] ? -1 : 1};
    }
}

std::uint64_t headerEnd(const LoadRequest& request) {
    return static_cast<std::uint64_t>(request.headerBlocks) * (request.formatCode == 40 ? 1024 : 512);
}

void requireData(const ByteSource& source, std::uint64_t offset, std::uint64_t bytes, const LoadRequest& request,
                 const char* what) {
    std::uint64_t size = source.size();
    if (offset <= size && bytes <= size - offset) return;
    std::uint64_t found = offset <= size ? size - offset : 0;
    throw Error(ErrorKind::Malformed,
                tr("{0}: header promises {1} samples of {2} ({3} bytes from offset {4}), but {5} bytes follow",
                   {source.name(), std::to_string(request.sampleCount), tr(what), std::to_string(bytes),
                    std::to_string(offset), std::to_string(found)}));
}

void reserveTable(LoadResult& result, const ByteSource& source, const LoadRequest& request, int highestValueIndex) {
    int columns = (request.rmsDataFile + 1) * request.channelCount + 2 * request.logicChannelCount - 1 +
                  request.loggerExtraFlag + 1;
    // A channel assigned to a position beyond the recorded ones still needs its column.
    for (int k = 0; k <= highestValueIndex && k < 16; ++k) columns = std::max(columns, request.channelMap[k] + 1);
    columns = std::max(columns, 0);
    std::uint64_t rows = static_cast<std::uint64_t>(request.sampleCount) + 1;
    std::uint64_t cellLimit = 4 * source.size() + 65536;
    if (columns > 0 && rows > cellLimit / static_cast<std::uint64_t>(columns))
        throw Error(ErrorKind::Malformed,
                    tr("{0}: header declares {1} samples of {2} columns, far more than its {3} bytes can hold",
                       {source.name(), std::to_string(request.sampleCount), std::to_string(columns),
                        std::to_string(source.size())}));
    result.table.resize(rows, static_cast<std::size_t>(columns));
}

}  // namespace loading

LoadResult loadSamples(const ByteSource& source, const LoadRequest& request) {
    if (request.sampleCount < 0)
        throw Error(ErrorKind::Malformed,
                    tr("{0}: header declares {1} samples", {source.name(), std::to_string(request.sampleCount)}));
    if ((request.rmsDataFile + 1) * request.channelCount > 16) {
        const std::string name = source.name(), count = std::to_string(request.channelCount);
        throw Error(
            ErrorKind::Malformed,
            request.rmsDataFile
                ? tr("{0}: {1} channels of RMS values recorded; at most 16 columns can be loaded", {name, count})
                : tr("{0}: {1} channels recorded; at most 16 columns can be loaded", {name, count}));
    }
    if (request.headerBlocks < 1)
        throw Error(ErrorKind::Malformed, tr("{0}: header declares no header blocks", {source.name()}));
    LoadResult result;
    switch (request.formatCode) {
        case 40:
            loading::load40(source, request, result);
            break;
        case 41:
        case 80:
            loading::load41(source, request, result);
            break;
        case 47:
            loading::load47(source, request, result);
            break;
        case 20:
            loading::load20(source, request, result);
            break;
        case 86:
            loading::load86(source, request, result);
            break;
        default:
            loading::reserveTable(result, source, request, -1);
            break;
    }
    return result;
}

}  // namespace pqwave
