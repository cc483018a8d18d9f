// sprite::DataLoader: reads a definition script and builds its images, sounds, tables and sprites.
#pragma once

#include "io/InputStream.h"
#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/LoaderCanvas.h"
#include "sprite/LoaderMedia.h"
#include "sprite/StandardLoaderMedia.h"
#include "util/Hashtable.h"
#include "util/Vector.h"

namespace io {
class StreamTokenizer;
}

namespace window {
class ImageArray;
}

namespace sprite {

class FancyContainer;
class Sprite;
class User;

// A script is a sequence of sections, each opened by a marker (compared without regard to case):
// <images> (image name and file pairs, or image pack files ending in ".bin"), <sounds> (file names;
// "*" streams, ".s3m"/".mod"/".xm" are music modules), <strings>, <data> (up to 500 integers),
// <sprites> (records: name, class[:sub-script], image names, numbers) and <end>. ";" starts a comment,
// '"' quotes. A name beginning with "+" is an archive entry; any other a file below the program folder.
//
// The loader runs twice over a script: count() totals the work, load() builds everything and advances
// the canvas's loaded count item by item. Problems are shown in message boxes that name the script and
// the line; loading goes on where the script allows it.
class DataLoader : public lang::Object {
public:
    // The canvas (asked first for every sprite, and told the progress) and the settings store (read
    // for "@" image names through media.readSetting) may be null; the loader takes a reference on
    // each. The media make the images and sounds: the real ones unless a test or tool passes its own.
    DataLoader(const lang::String& programDir, LoaderCanvas* canvas, User* settings,
               LoaderMedia media = standardLoaderMedia());
    ~DataLoader() override;
    DataLoader(const DataLoader&) = delete;
    DataLoader& operator=(const DataLoader&) = delete;

    LANG_CLASS_NAME(DataLoader, Object)

    // The counting pass: images entries, sounds and sprite records (those of container sub-scripts
    // included). 0 when the script cannot be opened; the total so far when an error stops it.
    int count(const lang::String& scriptName);
    int count(const char* scriptName);
    // The loading pass. False only when the script cannot be opened or an error stops it.
    bool load(const lang::String& scriptName);
    bool load(const char* scriptName);

    // Results. None hands over a reference.
    // Every sprite created by the last load, in script order.
    util::Vector* sprites() const { return sprites_.get(); }
    // Sprites by name (a name used twice is held twice).
    util::Hashtable* names() const { return names_.get(); }
    // Images registered so far, by name.
    util::Hashtable* images() const { return images_.get(); }
    // The sounds, strings and integers of the last section of each kind, in script order. The loader
    // holds one reference on every element of sounds and strings.
    lang::ObjectArray* sounds() const { return sounds_.get(); }
    lang::StringArray* strings() const { return strings_.get(); }
    lang::IntArray* data() const { return data_.get(); }

    const lang::String& programDir() const { return programDir_; }

    // Registers the image `file` under `name`: "+entry" from the archive, "@value" through the settings
    // value of that name (default "+value"), any other path as a file below the program folder.
    void loadImage(const lang::String& name, const lang::String& file);
    // Loads the image pack file `file` (below the program folder); images already registered stay when
    // it stops early. Returns how many images it registered.
    int loadImagePack(const lang::String& file);

private:
    struct Script;

    // A loader for a container's sub-script, named in `openedFrom`: same folder, canvas, settings, media
    // and script cache.
    DataLoader(DataLoader* parent, const Script* openedFrom);
    void init();

    // The stream of a script, rewound (one reference for the caller), or null after a message box.
    io::InputStream* openScript(const lang::String& name);
    // True when this loader or one that it fills a container for is reading the script.
    bool isOpenAbove(const lang::String& name) const;
    // How many loaders stand above this one (0 for the loader of the main script).
    int nestingDepth() const;
    void walk(Script& script);
    // Each section returns the token that ended it (null at the end of the script).
    lang::String* images(Script& script);
    lang::String* sounds(Script& script);
    lang::String* strings(Script& script);
    lang::String* data(Script& script);
    lang::String* spriteRecords(Script& script);
    void makeSprite(Script& script, const lang::String& name, const lang::String& classToken, int line);
    lang::Ref<Sprite> createByClassRecord(Script& script, const lang::String& classToken);
    void fillContainer(Script& script, FancyContainer* container, const lang::String& subScript);
    int countContainer(Script& script, const lang::String& classToken);
    lang::Object* findOrLoadImage(const lang::String& name);
    void advance();
    void showError(Script& script, const char* title, const lang::String& text);

    lang::String programDir_;
    lang::Ref<LoaderCanvas> canvas_;
    lang::Ref<User> settings_;
    lang::Ref<util::Hashtable> scriptCache_;  // String name -> io::InputStream, shared with nested loaders
    LoaderMedia media_;
    lang::Ref<util::Hashtable> images_;
    lang::Ref<lang::ObjectArray> sounds_;
    lang::Ref<lang::StringArray> strings_;
    lang::Ref<lang::IntArray> data_;
    lang::Ref<util::Vector> sprites_;
    lang::Ref<util::Hashtable> names_;
    // The record arrays, reused for every record of a sprite section; they hold no references.
    lang::Ref<window::ImageArray> recordImages_;
    lang::Ref<lang::IntArray> recordNumbers_;
    DataLoader* parent_ = nullptr;              // the loader whose container this one fills
    const Script* openedFrom_ = nullptr;        // the parent's script that named this loader's script
    const lang::String* scriptName_ = nullptr;  // the script this loader is reading, while it reads
};

}  // namespace sprite
