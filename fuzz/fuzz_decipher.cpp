// Any text as hexadecimal cipher text: deciphering either gives a text or a reading failure.
#include "remote/uCipher.h"
#include "remote/uErrors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString hex = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QString text = DecipherFromHex(hex, ChannelKey);
        // Whatever deciphered must encipher and decipher back to itself (unless it ends in U+0000).
        if (!text.isEmpty() && !text.endsWith(QChar(0)) &&
            DecipherFromHex(EncipherToHex(text, ChannelKey), ChannelKey) != text)
            __builtin_trap();
    } catch (const EReadError&) {
    }
    return 0;
}
