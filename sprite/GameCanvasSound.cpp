// sprite::GameCanvas: the sound table, the fading clips and the string tables.
#include "sprite/GameCanvas.h"

#include <string>

#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/StreamTokenizer.h"
#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "window/MessageBox.h"

namespace sprite {

// ---- sounds ----

lang::Ref<window::AudioClip> GameCanvas::soundAt(int index) {
    std::lock_guard<std::mutex> guard(soundsLock_);
    if (index < 0 || index >= sounds_->length())
        return nullptr;
    return lang::share(static_cast<window::AudioClip*>((*sounds_)[index]));
}

int GameCanvas::soundCount() {
    std::lock_guard<std::mutex> guard(soundsLock_);
    return sounds_->length();
}

void GameCanvas::setSoundTable(const lang::ObjectArray* sounds) {
    auto table = lang::make<lang::ObjectArray>(sounds != nullptr ? sounds->length() : 0);
    for (int i = 0; i < table->length(); ++i) {
        lang::Object* element = (*sounds)[i];
        // Only clips belong in the table; anything else would be played as one.
        if (element != nullptr && element->instanceOf("AudioClip")) {
            element->addRef();
            (*table)[i] = element;
        }
    }
    lang::Ref<lang::ObjectArray> old;
    {
        std::lock_guard<std::mutex> guard(soundsLock_);
        old = std::move(sounds_);
        sounds_ = std::move(table);
    }
    releaseElements(old.get());
}

void GameCanvas::setSoundEnabled(bool on) {
    soundEnabled_ = on;
    if (on)
        return;
    std::lock_guard<std::mutex> guard(soundsLock_);
    for (int i = 0; i < sounds_->length(); ++i) {
        if (auto* clip = static_cast<window::AudioClip*>((*sounds_)[i]))
            clip->stop();
    }
}

void GameCanvas::playSound(window::AudioClip* clip) {
    if (clip != nullptr && soundEnabled_)
        clip->play();
}

void GameCanvas::playSound(int index) {
    if (soundEnabled_)
        playSound(soundAt(index).get());
}

void GameCanvas::loopSound(window::AudioClip* clip) {
    if (clip != nullptr && soundEnabled_)
        clip->loop();
}

void GameCanvas::loopSound(int index) {
    if (soundEnabled_)
        loopSound(soundAt(index).get());
}

void GameCanvas::stopSound(window::AudioClip* clip) {
    if (clip != nullptr)
        clip->stop();
}

void GameCanvas::stopSound(int index) {
    stopSound(soundAt(index).get());
}

// Fades are sound like any other: with sound off they do not start (a fade up would otherwise make
// a silenced clip audible again).
void GameCanvas::fadeSoundSpeed(window::AudioClip* clip, float target, int frames) {
    if (clip == nullptr || !soundEnabled_)
        return;
    clip->fadeSpeed(target, frames);
    lang::Synchronized guard(fadingSounds_.get());
    if (fadingSounds_->indexOf(clip) < 0)
        fadingSounds_->addElement(clip);
}

void GameCanvas::fadeSoundSpeed(int index, float target, int frames) {
    fadeSoundSpeed(soundAt(index).get(), target, frames);
}

void GameCanvas::fadeSoundVolume(window::AudioClip* clip, int target, int frames, bool pauseAtEnd) {
    if (clip == nullptr || !soundEnabled_)
        return;
    clip->fadeVolume(target, frames, pauseAtEnd);
    lang::Synchronized guard(fadingSounds_.get());
    if (fadingSounds_->indexOf(clip) < 0)
        fadingSounds_->addElement(clip);
}

void GameCanvas::fadeSoundVolume(int index, int target, int frames, bool pauseAtEnd) {
    fadeSoundVolume(soundAt(index).get(), target, frames, pauseAtEnd);
}

// ---- scene reset and string tables ----

void GameCanvas::resetScene(lang::ObjectArray* sounds) {
    invalidateRect(nullptr);
    setSoundTable(sounds);
    {
        lang::Synchronized guard(this, true);
        releaseElements(stringTable1_.get());
        releaseElements(stringTable2_.get());
    }
    sceneLoaded_ = true;
}

void GameCanvas::setStringTable(lang::Ref<lang::StringArray>& table, const lang::StringArray* from) {
    auto copy = lang::make<lang::StringArray>(from != nullptr ? from->length() : 0);
    for (int i = 0; i < copy->length(); ++i) {
        lang::String* element = (*from)[i];
        if (element != nullptr)
            element->addRef();
        (*copy)[i] = element;
    }
    lang::Synchronized guard(this, true);
    releaseElements(table.get());
    table = std::move(copy);
}

namespace {

// The largest count a list of the string-tables file may announce; more is taken as a damaged file.
constexpr int kMaxListLength = 100000;

// A list being read: the strings it holds are released with it, also when reading stops half-way.
struct OwnedStrings {
    lang::Ref<lang::StringArray> table = lang::make<lang::StringArray>();
    ~OwnedStrings() {
        for (int i = 0; i < table->length(); ++i)
            lang::release((*table)[i]);
    }
};

// Reads the lists of a string-tables file, naming the file and the line in every error.
class StringTablesReader {
public:
    StringTablesReader(const lang::String& name, io::InputStream* stream) : name_(name), tokens_(stream) {
        tokens_.eolIsSignificant(false);
        tokens_.commentChar(';');
        tokens_.quoteChar('"');
        tokens_.parseNumbers();
    }

    int count(const char* list) {
        if (tokens_.nextToken() != io::StreamTokenizer::TT_NUMBER)
            fail(std::string("expected the number of ") + list);
        const double value = tokens_.nval;
        if (value < 0 || value > kMaxListLength)
            fail(std::string("the number of ") + list + " is out of range");
        return static_cast<int>(value);
    }

    // A new String: a word or quoted text as written, a number as its text.
    lang::String* string(const char* list) {
        const int type = tokens_.nextToken();
        if (type == io::StreamTokenizer::TT_WORD)
            return new lang::String(tokens_.sval);
        if (type == io::StreamTokenizer::TT_NUMBER)
            return tokens_.toString();
        fail(std::string("the list of ") + list + " ends early");
        return nullptr;
    }

    // A count and that many strings.
    void strings(const char* list, OwnedStrings& into) {
        const int n = count(list);
        for (int i = 0; i < n; ++i) {
            lang::String* s = string(list);
            into.table->setSize(i + 1);
            (*into.table)[i] = s;
        }
    }

    int32_t number(const char* list) {
        if (tokens_.nextToken() != io::StreamTokenizer::TT_NUMBER)
            fail(std::string("expected a number in the list of ") + list);
        return static_cast<int32_t>(tokens_.nval);
    }

private:
    [[noreturn]] void fail(const std::string& what) {
        std::string text = std::string(name_.view()) + ", line " + std::to_string(tokens_.lineno()) + ": " + what;
        throw new lang::Exception(text.c_str());
    }

    const lang::String& name_;
    io::StreamTokenizer tokens_;
};

}  // namespace

void GameCanvas::loadStringTables(lang::ResourceFile* archive) {
    lang::String failure;
    try {
        lang::Ref<io::InputStream> stream;
        if (scriptName_.startsWith("+")) {
            lang::String entry(scriptName_.chars() + 1);
            if (archive != nullptr) {
                bool searchEnds = false;
                lang::Ref<lang::ResourceItem> item = lang::adopt(archive->lookup(entry, false, searchEnds));
                stream = lang::make<io::ByteArrayInputStream>(item.get());
            } else {
                stream = lang::make<io::ByteArrayInputStream>(scriptName_.chars());
            }
        } else {
            stream = lang::make<io::FileInputStream>(scriptName_.chars(), programDir_.chars());
        }
        StringTablesReader reader(scriptName_, stream.get());
        // Each list replaces its table as soon as it is complete: the lists read before an error stay.
        OwnedStrings first;
        reader.strings("strings of the first table", first);
        setStringTable(stringTable1_, first.table.get());
        OwnedStrings second;
        reader.strings("strings of the second table", second);
        setStringTable(stringTable2_, second.table.get());
        auto numbers = lang::make<lang::IntArray>(reader.count("numbers"));
        for (int i = 0; i < numbers->length(); ++i)
            (*numbers)[i] = reader.number("numbers");
        {
            lang::Synchronized guard(this, true);
            numberTable_ = numbers;
        }
        OwnedStrings third;
        reader.strings("strings of the third table", third);
        setStringTable(stringTable3_, third.table.get());
    } catch (lang::Exception* e) {
        failure = e->message();
        e->release();
    }
    if (failure.length() > 0)
        window::showMessageBox("Quillbeck Error", failure.view());
}

}  // namespace sprite
