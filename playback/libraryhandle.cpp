#include "playback/libraryhandle.h"

#include <QFile>

#include <dlfcn.h>

#include <utility>

namespace {

// The loader's text for the last failure, or a plain one when it gives none.
QString LoaderError() {
    const char* text = dlerror();
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown loader error");
}

} // namespace

TLibraryHandle::~TLibraryHandle() {
    Close();
}

TLibraryHandle::TLibraryHandle(TLibraryHandle&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_name(std::move(other.m_name)) {}

TLibraryHandle& TLibraryHandle::operator=(TLibraryHandle&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_name = std::move(other.m_name);
    }
    return *this;
}

void TLibraryHandle::Close() noexcept {
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
}

TLibraryHandle TLibraryHandle::Open(const QString& name, QString* error) {
    TLibraryHandle library;
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("no library name given");
        return library;
    }
    const QByteArray file = QFile::encodeName(name);
    library.m_handle = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library.m_handle) {
        if (error)
            *error = LoaderError();
        return library;
    }
    library.m_name = name;
    return library;
}

void* TLibraryHandle::Symbol(const char* name, QString* error) const {
    if (!m_handle) {
        // dlsym with a null handle would search the whole process.
        if (error)
            *error = QStringLiteral("no library loaded");
        return nullptr;
    }
    dlerror(); // clears an old error, so that a null result can be told apart
    void* symbol = dlsym(m_handle, name);
    if (!symbol && error)
        *error = LoaderError();
    return symbol;
}
