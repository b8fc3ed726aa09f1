// libFuzzer entry for the ADIF reader: any bytes must be read to the end without a crash, a
// hang or a read outside the input, every record numbered once and in order, and every
// value the importer maps must map without fault.

#include "adif/AdifFields.h"
#include "adif/AdifReader.h"

#include <cstdint>
#include <cstdlib>

using namespace hm52::adif;

namespace {
void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Reader reader(bytes);
    Record r;
    std::int64_t last = reader.position();
    int handed = 0;
    QString reason;
    while (reader.next(r)) {
        ++handed;
        require(r.number == handed);
        require(handed <= static_cast<int>(size) + 1);
        require(reader.position() > last || reader.position() == reader.size());
        last = reader.position();
        require(r.offset >= 0 && r.offset <= static_cast<std::int64_t>(size));
        for (const Value& v : r.values) {
            if (v.present) {
                require(v.size >= 0);
                require(v.data >= bytes.data() && v.data + v.size <= bytes.data() + bytes.size());
            }
        }
        subSquareOf(r.view(Field::GridSquare));
        subSquareOfList(r.view(Field::VuccGrids));
        awardBandOfBand(r.view(Field::Band));
        adifBandOfFrequency(r.view(Field::Freq));
        awardModeOf(r.view(Field::Mode), r.view(Field::Submode));
        storedDateOf(r.view(Field::QsoDate), &reason);
        formTimeOf(r.view(Field::TimeOn), &reason);
        fromPercent(r.view(Field::AppPlace));
        asciiOf(r.text(Field::Qth));
    }
    require(reader.records() == handed);
    require(reader.position() == reader.size());
    return 0;
}
