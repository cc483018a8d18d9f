// Fuzz harness: the tokenizer and the buffered line reader over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/BufferedReader.h"
#include "io/ByteArrayInputStream.h"
#include "io/InputStreamReader.h"
#include "io/StreamTokenizer.h"
#include "lang/Exception.h"
#include "lang/ResourceFile.h"

namespace {

class BytesItem : public lang::ResourceItem {
public:
    BytesItem(const uint8_t* data, size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}
    const uint8_t* getData() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
    int getLength() const override { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    auto item = lang::make<BytesItem>(data + 1, size - 1);
    auto stream = lang::make<io::ByteArrayInputStream>(item.get());
    auto tokenizer = lang::make<io::StreamTokenizer>(stream.get());
    // The first byte picks the set-up: the definition scripts' one, or a few variations.
    tokenizer->commentChar(';');
    tokenizer->quoteChar('"');
    if (flags & 1)
        tokenizer->parseNumbers();
    if (flags & 2)
        tokenizer->eolIsSignificant(true);
    if (flags & 4)
        tokenizer->quoteChar('\'');
    if (flags & 8)
        tokenizer->ordinaryChar(',');
    if (flags & 16)
        tokenizer->setClass('!', 7);
    // Every call consumes at least one byte or reports the end, so this bound is never reached.
    for (size_t i = 0; i <= size + 1; ++i) {
        try {
            int type = tokenizer->nextToken();
            if (type == io::StreamTokenizer::TT_EOF)
                break;
            if (flags & 32) {
                tokenizer->pushBack();
                tokenizer->nextToken();
            }
            lang::release(tokenizer->toString());
        } catch (lang::Exception* e) {
            e->release();
        }
    }
    stream->reset();
    auto reader = lang::make<io::BufferedReader>(lang::make<io::InputStreamReader>(stream.get()).get());
    for (size_t i = 0; i <= size + 1; ++i) {
        if (reader->readLine() == io::BufferedReader::endOfStream())
            break;
    }
    return 0;
}
