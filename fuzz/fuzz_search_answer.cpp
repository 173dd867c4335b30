// libFuzzer target: any bytes as a search answer, through parsing and record
// building, for each media kind's rules.
#include "sources/store/ServiceOrigins.h"
#include "sources/store/StoreRequests.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ServiceOrigins origins = ServiceOrigins::production();
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    // The first byte picks the media kind, so each rule set gets its share.
    static const char* const media[] = {"music", "musicVideo", "movie", "ebook", "software"};
    const QString mediaValue = QString::fromLatin1(media[size ? data[0] % 5 : 0]);
    const StoreRequests::ParsedAnswer answer =
        StoreRequests::parseAnswer(body, mediaValue, QStringLiteral("us"), origins);
    for (const CatalogueItem& record : answer.records) {
        // Every record has its ten fields, whatever the answer left out.
        if (record.toJson().size() != 10) {
            __builtin_trap();
        }
    }
    return 0;
}
