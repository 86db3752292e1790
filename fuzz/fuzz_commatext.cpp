// The comma text as the server splits it: any text splits without failing, and joining a split
// list and splitting it again gives the same lines.
#include "remote/uCommaText.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = SplitCommaText(text);
    if (!lines.isEmpty() && SplitCommaText(CommaText(lines)) != lines) __builtin_trap();
    return 0;
}
