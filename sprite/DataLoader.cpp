// sprite::DataLoader: the two passes over a definition script, its sections and its sprite records.
#include "sprite/DataLoader.h"

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/Path.h"
#include "io/StreamTokenizer.h"
#include "lang/Class.h"
#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "sprite/FancyContainer.h"
#include "sprite/ImagePack.h"
#include "sprite/Sprite.h"
#include "sprite/store/User.h"
#include "util/DataProblems.h"
#include "window/Image.h"
#include "window/ImageArray.h"
#include "window/MessageBox.h"

namespace sprite {

namespace {

constexpr int kMaxDataValues = 500;
// Sub-scripts nest at most this deep: names that differ but reach the same file ("a.txt", "./a.txt",
// ...) would otherwise nest without end.
constexpr int kMaxNesting = 16;

// Releases the references the loader holds on the elements of one of its result arrays.
void releaseElements(lang::ObjectArray& array) {
    for (int i = 0; i < array.length(); ++i)
        lang::release(array[i]);
    array.setSize(0);
}

// Fills an array from a list, handing the list's references over to the array's owner.
void fillArray(lang::ObjectArray& array, std::vector<lang::Ref<lang::Object>>& items) {
    releaseElements(array);
    array.setSize(static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); ++i)
        array[static_cast<int>(i)] = items[i].detach();
    items.clear();
}

bool isMarker(const lang::String* token) {
    return token != nullptr && token->startsWith("<");
}

lang::Ref<lang::String> plus(const lang::String& name) {
    auto text = lang::make<lang::String>("+");
    text->append(name);
    return text;
}

// Raises a process-wide counter or flag shared with the image loader for as long as it lives.
class DepthRaise {
public:
    explicit DepthRaise(bool raise) : raised_(raise) {
        if (raised_)
            ++window::containerFillDepth;
    }
    ~DepthRaise() {
        if (raised_)
            --window::containerFillDepth;
    }

private:
    bool raised_;
};

class DiskImageLoad {
public:
    DiskImageLoad() { window::diskImageFlag = true; }
    ~DiskImageLoad() { window::diskImageFlag = false; }
};

}  // namespace

// One script being read: its name, its tokenizer and the current token.
struct DataLoader::Script {
    Script(const lang::String& scriptName, io::InputStream* stream)
        : name(scriptName), tokenizer(lang::make<io::StreamTokenizer>(stream)) {
        tokenizer->commentChar(';');
        tokenizer->quoteChar('"');
        tokenizer->parseNumbers();
        tokenizer->wordChars('<', '<');
        tokenizer->wordChars('>', '>');
    }

    // The next token as text (a number as the text of its value: 12 reads "12."), or null at the end of
    // the script. The String is this script's own and changes with the next call.
    lang::String* next() {
        type = tokenizer->nextToken();
        if (type == io::StreamTokenizer::TT_EOF)
            return nullptr;
        ++tokens;
        if (type == io::StreamTokenizer::TT_NUMBER) {
            lang::String number(tokenizer->nval);
            token.assign(number);
        } else if (type == io::StreamTokenizer::TT_WORD) {
            token.assign(tokenizer->sval);
        } else {
            token.assign(lang::String(static_cast<char>(type)));
        }
        return &token;
    }

    bool isNumber() const { return type == io::StreamTokenizer::TT_NUMBER; }

    int tokens = 0;      // tokens read so far
    bool ended = false;  // the script's <end> was read

    // The current number truncated to int; values beyond the int range are held at its ends.
    int intValue() const {
        if (!isNumber())
            return 0;
        double value = tokenizer->nval;
        if (value != value)
            return 0;
        if (value >= 2147483647.0)
            return INT_MAX;
        if (value <= -2147483648.0)
            return INT_MIN;
        return static_cast<int>(value);
    }

    int line() const { return tokenizer->lineno(); }

    const lang::String& name;
    lang::Ref<io::StreamTokenizer> tokenizer;
    int type = io::StreamTokenizer::TT_EOF;
    lang::String token;
    bool counting = false;
    int total = 0;  // the counting pass's total so far
};

DataLoader::DataLoader(const lang::String& programDir, LoaderCanvas* canvas, User* settings,
                       LoaderMedia media)
    : programDir_(programDir),
      canvas_(lang::share(canvas)),
      settings_(lang::share(settings)),
      scriptCache_(lang::make<util::Hashtable>()),
      media_(std::move(media)) {
    init();
}

DataLoader::DataLoader(DataLoader* parent, const Script* openedFrom)
    : programDir_(parent->programDir_),
      canvas_(parent->canvas_),
      settings_(parent->settings_),
      scriptCache_(parent->scriptCache_),
      media_(parent->media_),
      parent_(parent),
      openedFrom_(openedFrom) {
    init();
}

void DataLoader::init() {
    images_ = lang::make<util::Hashtable>();
    sounds_ = lang::make<lang::ObjectArray>();
    strings_ = lang::make<lang::StringArray>();
    data_ = lang::make<lang::IntArray>();
    sprites_ = lang::make<util::Vector>(10);
    names_ = lang::make<util::Hashtable>();
    recordImages_ = lang::make<window::ImageArray>();
    recordNumbers_ = lang::make<lang::IntArray>();
}

DataLoader::~DataLoader() {
    releaseElements(*sounds_);
    releaseElements(*strings_);
}

int DataLoader::count(const char* scriptName) {
    lang::String name(scriptName);
    return count(name);
}

bool DataLoader::load(const char* scriptName) {
    lang::String name(scriptName);
    return load(name);
}

io::InputStream* DataLoader::openScript(const lang::String& name) {
    if (auto* cached = static_cast<io::InputStream*>(scriptCache_->get(&name))) {
        cached->reset();
        cached->addRef();
        return cached;
    }
    lang::Ref<io::InputStream> stream;
    try {
        if (name.startsWith("+")) {
            stream = lang::make<io::ByteArrayInputStream>(name.chars());
            // A missing entry reads as an empty script: the game goes on without what it holds, and the
            // player is told.
            if (lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(name.chars() + 1, false));
                !item) {
                std::string text = "The definition script \"" + std::string(name.view().substr(1)) +
                                   "\" is missing from the data archive";
                if (openedFrom_ != nullptr)
                    text += " (named in " + std::string(openedFrom_->name.view()) + ", line " +
                            std::to_string(openedFrom_->line()) + ")";
                util::reportDataProblem(text);
            }
        } else {
            stream = lang::make<io::FileInputStream>(name.chars(), programDir_.chars());
        }
    } catch (lang::Exception* e) {
        std::string text(e->message().view());
        e->release();
        if (openedFrom_ != nullptr) {
            text += " (named in " + std::string(openedFrom_->name.view()) + ", line " +
                    std::to_string(openedFrom_->line()) + ")";
        }
        window::showMessageBox("Error", text);
        return nullptr;
    }
    scriptCache_->put(name, stream.get());
    return stream.detach();
}

bool DataLoader::isOpenAbove(const lang::String& name) const {
    for (const DataLoader* loader = this; loader != nullptr; loader = loader->parent_) {
        if (loader->scriptName_ != nullptr && loader->scriptName_->equals(name))
            return true;
    }
    return false;
}

int DataLoader::nestingDepth() const {
    int depth = 0;
    for (const DataLoader* loader = parent_; loader != nullptr; loader = loader->parent_) ++depth;
    return depth;
}

int DataLoader::count(const lang::String& scriptName) {
    lang::Ref<io::InputStream> stream = lang::adopt(openScript(scriptName));
    if (!stream)
        return 0;
    Script script(scriptName, stream.get());
    script.counting = true;
    const lang::String* outer = std::exchange(scriptName_, &scriptName);
    try {
        walk(script);
    } catch (lang::Exception* e) {
        showError(script, "Error", e->message());
        e->release();
    }
    scriptName_ = outer;
    return script.total;
}

bool DataLoader::load(const lang::String& scriptName) {
    sprites_ = lang::make<util::Vector>(10);
    names_ = lang::make<util::Hashtable>();
    lang::Ref<io::InputStream> stream = lang::adopt(openScript(scriptName));
    if (!stream)
        return false;
    Script script(scriptName, stream.get());
    const lang::String* outer = std::exchange(scriptName_, &scriptName);
    bool loaded = true;
    try {
        walk(script);
        // The game's scripts all close with <end>: one that stops before it was cut short, and what
        // it would have made is missing.
        if (!script.ended && script.tokens > 0)
            util::reportDataProblem("The definition script \"" +
                                    std::string(scriptName.view().substr(scriptName.startsWith("+") ? 1 : 0)) +
                                    "\" ends at line " + std::to_string(script.line()) +
                                    " before its <end>: it is cut short or damaged");
    } catch (lang::Exception* e) {
        showError(script, "Error", e->message());
        e->release();
        loaded = false;
    }
    scriptName_ = outer;
    return loaded;
}

// Sections follow one another until <end> or the end of the script; tokens outside any section are
// skipped. Each section hands back the token that ended it, which may open the next one.
void DataLoader::walk(Script& script) {
    lang::String* token = script.next();
    while (token != nullptr) {
        if (token->equalsIgnoreCase("<images>")) {
            token = images(script);
        } else if (token->equalsIgnoreCase("<sounds>")) {
            token = sounds(script);
        } else if (token->equalsIgnoreCase("<strings>")) {
            token = strings(script);
        } else if (token->equalsIgnoreCase("<data>")) {
            token = data(script);
        } else if (token->equalsIgnoreCase("<sprites>")) {
            token = spriteRecords(script);
        } else if (token->equalsIgnoreCase("<end>")) {
            script.ended = true;
            return;
        } else {
            token = script.next();
        }
    }
}

lang::String* DataLoader::images(Script& script) {
    while (true) {
        lang::String* token = script.next();
        if (token == nullptr || isMarker(token))
            return token;
        if (token->endsWith(".bin")) {
            if (script.counting) {
                ++script.total;
            } else {
                lang::String file(*token);
                loadImagePack(file);
                advance();
            }
            continue;
        }
        lang::String name(*token);
        token = script.next();
        // A name without its file is no entry.
        if (token == nullptr || isMarker(token))
            return token;
        if (script.counting) {
            ++script.total;
        } else {
            lang::String file(*token);
            loadImage(name, file);
            advance();
        }
    }
}

lang::String* DataLoader::sounds(Script& script) {
    std::vector<lang::Ref<lang::Object>> clips;
    if (!script.counting)
        releaseElements(*sounds_);
    while (true) {
        lang::String* token = script.next();
        if (token == nullptr || isMarker(token)) {
            if (!script.counting)
                fillArray(*sounds_, clips);
            return token;
        }
        if (token->length() <= 2)
            continue;
        if (script.counting) {
            ++script.total;
            continue;
        }
        bool streamed = token->startsWith("*");
        lang::String name(streamed ? token->chars() + 1 : token->chars());
        int kind = streamed ? 1 : 0;
        if (name.endsWith(".s3m") || name.endsWith(".mod") || name.endsWith(".xm"))
            kind = 2;
        lang::String path(name.startsWith("+") ? std::string(name.view()).c_str()
                                               : io::joinPath(programDir_.view(), name.view()).c_str());
        // A clip that could not be made keeps its place, so sound numbers stay the script's positions.
        clips.push_back(media_.loadSound ? lang::adopt(media_.loadSound(path, kind))
                                         : lang::Ref<lang::Object>());
        advance();
    }
}

lang::String* DataLoader::strings(Script& script) {
    std::vector<lang::Ref<lang::Object>> texts;
    while (true) {
        lang::String* token = script.next();
        if (token == nullptr || isMarker(token)) {
            if (!script.counting)
                fillArray(*strings_, texts);
            return token;
        }
        if (!script.counting)
            texts.push_back(lang::make<lang::String>(*token));
    }
}

lang::String* DataLoader::data(Script& script) {
    std::vector<int> values;
    lang::String* token = nullptr;
    while (true) {
        token = script.next();
        if (token == nullptr || !script.isNumber())
            break;
        values.push_back(script.intValue());
        if (values.size() == kMaxDataValues) {
            token = script.next();
            break;
        }
    }
    if (!script.counting) {
        data_->setSize(static_cast<int>(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            (*data_)[static_cast<int>(i)] = values[i];
    }
    return token;
}

lang::String* DataLoader::spriteRecords(Script& script) {
    lang::String* token = script.next();
    while (token != nullptr && !isMarker(token)) {
        lang::String name(*token);
        int line = script.line();
        token = script.next();
        // A name alone at the end of the section is no record.
        if (token == nullptr || isMarker(token))
            return token;
        lang::String classToken(*token);
        std::vector<lang::Object*> images;
        token = script.next();
        while (token != nullptr && !script.isNumber() && !isMarker(token)) {
            if (!script.counting) {
                // An empty quoted text is "no image"; a name that no image answers to adds nothing.
                if (token->length() == 0) {
                    images.push_back(nullptr);
                } else if (lang::Object* image = findOrLoadImage(*token)) {
                    images.push_back(image);
                }
            }
            token = script.next();
        }
        std::vector<int> numbers;
        while (token != nullptr && script.isNumber()) {
            numbers.push_back(script.intValue());
            token = script.next();
        }
        if (script.counting) {
            script.total += 1 + countContainer(script, classToken);
            continue;
        }
        recordImages_->setSize(static_cast<int>(images.size()));
        lang::ObjectArray& slots =
            *recordImages_;  // images are held as objects; the game's are window::Image
        for (size_t i = 0; i < images.size(); ++i)
            slots[static_cast<int>(i)] = images[i];
        recordNumbers_->setSize(static_cast<int>(numbers.size()));
        for (size_t i = 0; i < numbers.size(); ++i)
            (*recordNumbers_)[static_cast<int>(i)] = numbers[i];
        makeSprite(script, name, classToken, line);
    }
    return token;
}

void DataLoader::makeSprite(Script& script, const lang::String& name, const lang::String& classToken,
                            int line) {
    lang::Ref<Sprite> sprite;
    if (canvas_)
        sprite =
            lang::adopt(canvas_->createSprite(classToken, recordImages_.get(), recordNumbers_.get(), this));
    if (!sprite)
        sprite = createByClassRecord(script, classToken);
    // No class record, or one that makes no sprite: the record is dropped without a word.
    if (!sprite)
        return;
    advance();
    sprites_->addElement(sprite.get());
    if (name.length() == 0)
        return;
    sprite->setName(name);
    if (names_->containsKey(&name)) {
        std::string title = "Duplicate name in " + std::string(script.name.view());
        std::string text = std::string(name.view()) + " (line " + std::to_string(line) + ")";
        window::showMessageBox(title, text);
    }
    names_->put(name, sprite.get());
}

lang::Ref<Sprite> DataLoader::createByClassRecord(Script& script, const lang::String& classToken) {
    int colon = classToken.indexOf(':');
    lang::String className(classToken.chars(), 0, colon < 0 ? classToken.length() : colon);
    lang::String subScript(classToken.chars(), colon < 0 ? classToken.length() : colon + 1,
                           classToken.length());
    lang::Class* record = lang::Class::forName(className);
    if (record == nullptr)
        return nullptr;
    lang::Ref<lang::Object> object = lang::adopt(record->newInstance());
    // A class record of something that is not a sprite makes no sprite.
    auto* made = dynamic_cast<Sprite*>(object.get());
    if (made == nullptr)
        return nullptr;
    lang::Ref<Sprite> sprite = lang::share(made);
    sprite->init(recordImages_.get(), recordNumbers_.get());
    if (subScript.length() > 0) {
        if (auto* container = dynamic_cast<FancyContainer*>(made))
            fillContainer(script, container, subScript);
    }
    return sprite;
}

void DataLoader::fillContainer(Script& script, FancyContainer* container, const lang::String& subScript) {
    if (isOpenAbove(subScript)) {
        // Reading it again would rewind the very stream being read and never end.
        showError(script, "Error",
                  lang::String(("The script " + std::string(subScript.view()) +
                                " is already being loaded and cannot contain itself")
                                   .c_str()));
        return;
    }
    if (nestingDepth() >= kMaxNesting) {
        showError(script, "Error",
                  lang::String(("The script " + std::string(subScript.view()) + " nests containers more than " +
                                std::to_string(kMaxNesting) + " scripts deep")
                                   .c_str()));
        return;
    }
    lang::Ref<DataLoader> nested = lang::adopt(new DataLoader(this, &script));
    DepthRaise hidden(!container->isVisible());
    if (!nested->load(subScript))
        return;
    util::Vector* children = nested->sprites();
    for (int i = 0; i < children->size(); ++i)
        container->appendChild(static_cast<Sprite*>(children->elementAt(i)));
    container->setUp(nested.get());
}

int DataLoader::countContainer(Script& script, const lang::String& classToken) {
    int colon = classToken.indexOf(':');
    if (colon < 0 || colon + 1 >= classToken.length())
        return 0;
    lang::String className(classToken.chars(), 0, colon);
    lang::String subScript(classToken.chars(), colon + 1, classToken.length());
    lang::Class* record = lang::Class::forName(className);
    if (record == nullptr)
        return 0;
    lang::Ref<lang::Object> probe = lang::adopt(record->newInstance());
    if (dynamic_cast<FancyContainer*>(probe.get()) == nullptr)
        return 0;
    probe.reset();
    // A script that names itself is reported by the loading pass; counting leaves it out.
    if (isOpenAbove(subScript) || nestingDepth() >= kMaxNesting)
        return 0;
    lang::Ref<DataLoader> nested = lang::adopt(new DataLoader(this, &script));
    return nested->count(subScript);
}

lang::Object* DataLoader::findOrLoadImage(const lang::String& name) {
    if (lang::Object* image = images_->get(&name))
        return image;
    loadImage(name, *plus(name));
    return images_->get(&name);
}

void DataLoader::loadImage(const lang::String& name, const lang::String& file) {
    if (!media_.loadImage)
        return;
    lang::Ref<lang::Object> image;
    lang::String path(file);
    if (file.startsWith("@")) {
        lang::String rest(file.chars() + 1);
        lang::Ref<lang::String> fallback = plus(rest);
        lang::Ref<lang::String> chosen;
        if (settings_ && media_.readSetting)
            chosen = lang::adopt(media_.readSetting(settings_.get(), rest, *fallback));
        if (!chosen)
            chosen = fallback;
        if (chosen->startsWith("+")) {
            image = lang::adopt(media_.loadImage(*chosen, true));
        } else {
            DiskImageLoad fromDisk;
            lang::String full(io::joinPath(programDir_.view(), chosen->view()).c_str());
            image = lang::adopt(media_.loadImage(full, true));
        }
        if (!image)
            path.assign(*fallback);
    }
    if (!image) {
        if (path.startsWith("+")) {
            image = lang::adopt(media_.loadImage(path, false));
        } else {
            lang::String full(io::joinPath(programDir_.view(), path.view()).c_str());
            image = lang::adopt(media_.loadImage(full, false));
        }
    }
    if (image)
        images_->put(name, image.get());
}

int DataLoader::loadImagePack(const lang::String& file) {
    if (!media_.decodeImage)
        return 0;
    int registered = 0;
    try {
        auto pack = lang::make<io::FileInputStream>(file.chars(), programDir_.chars());
        readImagePack(*pack, [&](const lang::String& name, const uint8_t* bytes, int length) {
            lang::Ref<lang::Object> image = lang::adopt(media_.decodeImage(name, bytes, length));
            if (!image)
                return;
            images_->put(name, image.get());
            ++registered;
        });
        pack->close();
    } catch (lang::Exception* e) {
        // A missing or unreadable pack stops quietly; the images registered so far stay.
        e->release();
    }
    return registered;
}

void DataLoader::advance() {
    if (canvas_)
        canvas_->incrementLoadedCount();
}

void DataLoader::showError(Script& script, const char* title, const lang::String& text) {
    std::string full = std::string(text.view()) + " (" + std::string(script.name.view()) + ", line " +
                       std::to_string(script.line()) + ")";
    window::showMessageBox(title, full);
}

}  // namespace sprite
