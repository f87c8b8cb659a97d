// The reader of a change request's HTTP answer, fed in pieces whose sizes the input's first byte
// chooses: the body it yields is never longer than what it was fed.
#include "httpanswer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto piece = qsizetype(data[0]) + 1;
    const QByteArrayView bytes(data + 1, qsizetype(size - 1));
    zonara::HttpAnswerReader reader;
    qsizetype body = 0;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        body += reader.take(bytes.sliced(at, std::min(piece, bytes.size() - at))).size();
    reader.end();
    if (body > bytes.size() || reader.state() == zonara::HttpAnswerReader::State::Head ||
        reader.state() == zonara::HttpAnswerReader::State::Body)
        __builtin_trap();
    return 0;
}
