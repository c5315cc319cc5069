#pragma once
// The owner of one library opened at run time (dlopen): closes it when it
// goes. Move-only. Used for libmpv and for the player libraries.
#include <QString>

class TLibraryHandle {
public:
    // An empty owner (no library).
    TLibraryHandle() noexcept = default;
    ~TLibraryHandle();
    TLibraryHandle(TLibraryHandle&& other) noexcept;
    TLibraryHandle& operator=(TLibraryHandle&& other) noexcept;
    TLibraryHandle(const TLibraryHandle&) = delete;
    TLibraryHandle& operator=(const TLibraryHandle&) = delete;

    // Opens a file (or a name the loader searches for) with every reference
    // bound now, so that a library whose own dependencies are incomplete
    // fails here and not in the middle of playback. An empty owner when it
    // cannot be opened, with the loader's text in *error.
    static TLibraryHandle Open(const QString& name, QString* error = nullptr);

    // The address of an exported symbol; null, with the loader's text in
    // *error, when the library lacks it. An empty owner has no symbols (it
    // never asks the loader's global scope).
    void* Symbol(const char* name, QString* error = nullptr) const;

    // Symbol() cast to a function pointer type; false when missing.
    template <class F> bool Resolve(const char* name, F& slot, QString* error = nullptr) const {
        void* symbol = Symbol(name, error);
        if (!symbol)
            return false;
        slot = reinterpret_cast<F>(symbol);
        return true;
    }

    explicit operator bool() const noexcept { return m_handle != nullptr; }
    // The name given to Open.
    const QString& Name() const noexcept { return m_name; }
    // Closes the library now; the owner is empty afterwards.
    void Close() noexcept;

private:
    void* m_handle = nullptr;
    QString m_name;
};
