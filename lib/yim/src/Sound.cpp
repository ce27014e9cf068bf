#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/Sound.h>
#include <yim/yim.h>

namespace yim
{
    Sound::Sound(const hstring& filename, Category* category, const hstring& prefix)
        : filename(filename), realFilename(resolveLink(filename)), category(category)
    {
        this->buffer = manager->_createBuffer(this);
        this->name = prefix + withoutExtension(quortypes::Dir::baseName(filename));
    }

    Sound::~Sound()
    {
        manager->_destroyBuffer(this->buffer);
    }

    Format Sound::getFormat() const
    {
        return this->buffer->getFormat();
    }

    int Sound::getSize() const
    {
        return this->buffer->getSize();
    }

    bool Sound::isStreamed() const
    {
        return this->buffer->isStreamed();
    }

    hstring Sound::withoutExtension(const hstring& filename)
    {
        hstring base = quortypes::Dir::baseName(filename);
        int dot = base.rfind('.');
        return dot < 0 ? filename : filename.subString(0, filename.size() - (base.size() - dot));
    }

    Format Sound::formatOf(const hstring& filename)
    {
        if (filename.endsWith(".flac"))
        {
            return Format::FLAC;
        }
        if (filename.endsWith(".ogg"))
        {
            return Format::OGG;
        }
        if (filename.endsWith(".wav"))
        {
            return Format::WAV;
        }
        return Format::UNKNOWN;
    }

    hstring Sound::resolveLink(const hstring& filename)
    {
        if (!filename.endsWith(".xln") || !quortypes::Resource::exists(filename))
        {
            return filename;
        }
        // The text is taken as it stands: a trailing line break is part of the name.
        hstring target = quortypes::Resource::readAll(filename);
        hstring path = quortypes::Dir::joinPath(quortypes::Dir::baseDir(filename), target);
        return manager->findAudioFile(quortypes::Dir::normalize(quortypes::Dir::unifySeparators(path)));
    }
} // namespace yim
