#pragma once

// Catches what is written to standard error (file descriptor 2) while it
// lives, so that a test can count the lines a failure reports.

#include <unistd.h>

#include <cstdio>
#include <string>

namespace testing_support {

class StderrCapture
{
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture()
    {
        restore();
        std::fclose(m_file);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Puts standard error back and gives what was written meanwhile.
    std::string finish()
    {
        restore();
        std::string text;
        std::rewind(m_file);
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, m_file))
            text.append(buffer, n);
        return text;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

// The number of lines in a text, a last line without line end included.
inline int CountLines(const std::string& text)
{
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        lines += text[i] == '\n' || i + 1 == text.size();
    return lines;
}

}  // namespace testing_support
