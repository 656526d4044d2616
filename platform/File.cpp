// The buffered file stream: C open modes, text-mode line ends, the lock taken on open and
// the causes of a failed open. One buffer serves reading or writing, never both at once.
#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Drives.h"
#include "platform/FileException.h"
#include "platform/FileSystem.h"

namespace platform {

namespace {

constexpr size_t kBufferSize = 64 * 1024;

struct Mode {
    bool read = false, write = false, create = false, truncate = false, append = false;
    bool exclusive = false, noFollow = false;
    bool text = true;
};

bool ParseMode(const char* mode, Mode& m) {
    if (!mode || !*mode)
        return false;
    switch (mode[0]) {
        case 'r':
            m.read = true;
            break;
        case 'w':
            m.write = m.create = m.truncate = true;
            break;
        case 'a':
            m.write = m.create = m.append = true;
            break;
        default:
            return false;
    }
    for (const char* p = mode + 1; *p; ++p) {
        switch (*p) {
            case '+':
                m.read = m.write = true;
                break;
            case 'b':
                m.text = false;
                break;
            case 't':
                m.text = true;
                break;
            case 'x':
                m.exclusive = m.noFollow = true;
                break;
            case 'n':
                m.noFollow = true;
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace

CFile::~CFile() {
    Close();
}

bool CFile::Open(const std::string& winPath, const char* mode, Share share, int* cause) {
    Close();
    auto fail = [&](int err) {
        if (cause)
            *cause = CFileException::CauseFromErrno(err);
        return false;
    };
    Mode m;
    if (!ParseMode(mode, m))
        return fail(EINVAL);
    const std::string host = HostPath(winPath);
    if (host.empty())
        return fail(ENOENT);

    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    flags |= m.read && m.write ? O_RDWR : m.write ? O_WRONLY : O_RDONLY;
    if (m.create)
        flags |= O_CREAT;
    if (m.append)
        flags |= O_APPEND;
    if (m.exclusive && m.create)
        flags |= O_EXCL;
    if (m.noFollow)
        flags |= O_NOFOLLOW;
    // A file the open creates is its owner's alone: it may hold plaintext.
    const int fd = Fs().Open(host, flags, 0600);
    if (fd < 0)
        return fail(errno);
    auto failClose = [&](int err) {
        Fs().Close(fd);
        return fail(err);
    };
    struct stat st;
    if (fstat(fd, &st) != 0)
        return failClose(errno);
    if (S_ISDIR(st.st_mode))
        return failClose(EISDIR);
    if (!S_ISREG(st.st_mode))
        return failClose(EACCES);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // A file system without flock leaves the file unlocked; only a conflict fails the open.
    if (flock(fd, (share == Share::DenyAll ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 &&
        errno == EWOULDBLOCK) {
        return failClose(EWOULDBLOCK);
    }
    // Emptied only once the lock is held, so a refused open leaves the file as it was.
    if (m.truncate && Fs().Truncate(fd, 0) != 0)
        return failClose(errno);

    m_fd = fd;
    m_path = winPath;
    m_text = m.text;
    m_append = m.append;
    m_canRead = m.read;
    m_canWrite = m.write;
    m_writeFailed = false;
    m_buf.resize(kBufferSize + 1);  // one spare byte: a "\r\n" split by a fill
    m_rpos = m_rlen = m_rawLen = m_wlen = m_wcap = 0;
    m_crDropped.clear();
    m_filePos = 0;
    if (cause)
        *cause = CFileException::none;
    return true;
}

void CFile::OpenOrThrow(const std::string& winPath, const char* mode, Share share) {
    int cause = CFileException::none;
    if (!Open(winPath, mode, share, &cause))
        throw CFileException(cause, winPath);
}

bool CFile::Close() {
    if (m_fd < 0)
        return true;
    bool ok = FlushWrite() && !m_writeFailed;
    if (Fs().Close(m_fd) != 0)
        ok = false;
    m_fd = -1;
    m_rpos = m_rlen = m_rawLen = m_wlen = m_wcap = 0;
    m_crDropped.clear();
    return ok;
}

// ---- reading ----------------------------------------------------------------------------

bool CFile::FillBuffer() {
    if (m_fd < 0 || !m_canRead)
        return false;
    if (m_wlen)
        FlushWrite();
    m_wcap = 0;
    m_filePos += int64_t(m_rawLen);
    m_rpos = m_rlen = m_rawLen = 0;
    m_crDropped.clear();
    ssize_t n;
    do {
        n = Fs().ReadAt(m_fd, m_buf.data(), kBufferSize, m_filePos);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return false;
    size_t len = size_t(n);
    if (m_text && m_buf[len - 1] == '\r') {
        // Keep a "\r\n" pair together in one window.
        unsigned char next;
        if (Fs().ReadAt(m_fd, &next, 1, m_filePos + int64_t(len)) == 1 && next == '\n') {
            m_buf[len++] = '\n';
        }
    }
    m_rawLen = len;
    if (!m_text) {
        m_rlen = len;
        return true;
    }
    size_t out = 0;
    for (size_t i = 0; i < len; ++i) {
        if (m_buf[i] == '\r' && i + 1 < len && m_buf[i + 1] == '\n') {
            m_crDropped.push_back(out);
            continue;
        }
        m_buf[out++] = m_buf[i];
    }
    m_rlen = out;
    return true;
}

int CFile::GetCSlow() {
    if (!FillBuffer() || m_rlen == 0)
        return -1;
    return m_buf[m_rpos++];
}

size_t CFile::Read(void* dst, size_t n) {
    unsigned char* out = static_cast<unsigned char*>(dst);
    size_t done = 0;
    while (done < n) {
        if (m_rpos < m_rlen) {
            const size_t k = std::min(n - done, m_rlen - m_rpos);
            std::memcpy(out + done, m_buf.data() + m_rpos, k);
            m_rpos += k;
            done += k;
            continue;
        }
        if (!m_text && n - done >= kBufferSize && m_fd >= 0 && m_canRead) {
            // A large binary read goes straight to the caller.
            if (m_wlen)
                FlushWrite();
            m_wcap = 0;
            m_filePos += int64_t(m_rawLen);
            m_rpos = m_rlen = m_rawLen = 0;
            ssize_t got;
            do {
                got = Fs().ReadAt(m_fd, out + done, n - done, m_filePos);
            } while (got < 0 && errno == EINTR);
            if (got <= 0)
                break;
            m_filePos += got;
            done += size_t(got);
            continue;
        }
        if (!FillBuffer())
            break;
    }
    return done;
}

bool CFile::ReadLine(std::string& line) {
    line.clear();
    while (true) {
        if (m_rpos >= m_rlen && !FillBuffer())
            return !line.empty();
        const unsigned char* start = m_buf.data() + m_rpos;
        const size_t avail = m_rlen - m_rpos;
        const void* nl = std::memchr(start, '\n', avail);
        const size_t take = nl ? size_t(static_cast<const unsigned char*>(nl) - start) + 1 : avail;
        line.append(reinterpret_cast<const char*>(start), take);
        m_rpos += take;
        if (nl)
            return true;
    }
}

bool CFile::UngetC() {
    if (m_rpos > 0) {
        --m_rpos;
        return true;
    }
    return Tell() > 0 && Seek(-1, SEEK_CUR);
}

bool CFile::AtEnd() {
    if (m_rpos < m_rlen)
        return false;
    if (!m_canRead)
        return Tell() >= Length();
    return !FillBuffer();
}

// ---- writing ----------------------------------------------------------------------------

void CFile::DropReadAhead() {
    if (m_rawLen == 0)
        return;
    m_filePos = Tell();
    m_rpos = m_rlen = m_rawLen = 0;
    m_crDropped.clear();
}

void CFile::StartWriting() {
    DropReadAhead();
    m_wcap = kBufferSize;
}

bool CFile::WriteRaw(const unsigned char* p, size_t n) {
    int64_t pos = m_filePos;
    bool ok = true;
    while (n > 0) {
        const ssize_t k = m_append ? Fs().Write(m_fd, p, n) : Fs().WriteAt(m_fd, p, n, pos);
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0) {
            ok = false;
            break;
        }
        p += k;
        n -= size_t(k);
        pos += k;
    }
    if (m_append) {
        const off_t end = lseek(m_fd, 0, SEEK_END);
        m_filePos = end >= 0 ? end : pos;
    } else {
        m_filePos = pos;
    }
    if (!ok)
        m_writeFailed = true;
    return ok;
}

bool CFile::FlushWrite() {
    if (m_wlen == 0)
        return true;
    const size_t n = m_wlen;
    m_wlen = 0;
    return WriteRaw(m_buf.data(), n);
}

bool CFile::PutCSlow(int c) {
    if (m_fd < 0 || !m_canWrite)
        return false;
    if (m_wcap == 0)
        StartWriting();
    if (m_wlen + 2 > m_wcap && !FlushWrite())
        return false;
    if (m_text && c == '\n')
        m_buf[m_wlen++] = '\r';
    m_buf[m_wlen++] = static_cast<unsigned char>(c);
    return true;
}

bool CFile::Write(const void* src, size_t n) {
    if (m_fd < 0 || !m_canWrite)
        return false;
    if (m_wcap == 0)
        StartWriting();
    const unsigned char* p = static_cast<const unsigned char*>(src);
    if (m_text) {
        bool ok = true;
        for (size_t i = 0; i < n; ++i) ok = PutC(p[i]) && ok;
        return ok;
    }
    if (m_wlen + n <= m_wcap) {
        std::memcpy(m_buf.data() + m_wlen, p, n);
        m_wlen += n;
        return true;
    }
    if (!FlushWrite())
        return false;
    if (n >= m_wcap)
        return WriteRaw(p, n);
    std::memcpy(m_buf.data(), p, n);
    m_wlen = n;
    return true;
}

bool CFile::Flush() {
    if (m_fd < 0)
        return false;
    return FlushWrite() && !m_writeFailed;
}

bool CFile::Sync() {
    return Flush() && Fs().Sync(m_fd) == 0;
}

bool CFile::SetLength(int64_t length) {
    return Flush() && ftruncate(m_fd, static_cast<off_t>(length)) == 0;
}

// ---- positions --------------------------------------------------------------------------

int64_t CFile::Tell() const {
    if (m_fd < 0)
        return -1;
    if (m_wlen)
        return m_append ? Length() : m_filePos + int64_t(m_wlen);
    const size_t dropped = size_t(std::lower_bound(m_crDropped.begin(), m_crDropped.end(), m_rpos) -
                                  m_crDropped.begin());
    return m_filePos + int64_t(m_rpos + dropped);
}

int64_t CFile::Length() const {
    if (m_fd < 0)
        return -1;
    struct stat st;
    if (fstat(m_fd, &st) != 0)
        return -1;
    const int64_t size = st.st_size;
    if (!m_wlen)
        return size;
    return m_append ? size + int64_t(m_wlen) : std::max(size, m_filePos + int64_t(m_wlen));
}

bool CFile::Seek(int64_t offset, int whence) {
    if (m_fd < 0)
        return false;
    int64_t base;
    switch (whence) {
        case SEEK_SET:
            base = 0;
            break;
        case SEEK_CUR:
            base = Tell();
            break;
        case SEEK_END:
            base = Length();
            break;
        default:
            return false;
    }
    const int64_t target = base + offset;
    if (base < 0 || target < 0)
        return false;
    if (!m_text && m_rawLen && target >= m_filePos && target <= m_filePos + int64_t(m_rawLen)) {
        m_rpos = size_t(target - m_filePos);  // still inside the read window
        return true;
    }
    const bool flushed = FlushWrite();
    m_wcap = 0;
    m_rpos = m_rlen = m_rawLen = 0;
    m_crDropped.clear();
    m_filePos = target;
    return flushed;
}

}  // namespace platform
