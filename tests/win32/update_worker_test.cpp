// The update check's worker at the program's end: cancelled while a call of
// its download waits on the endpoint, it closes that call's handles from the
// cancelling thread, which (as Windows documents for WinINet) makes the
// blocked call return, and the worker leaves. Wine's WinINet lets a blocked
// call run to its time limit whatever is closed, so the download functions
// here are stand-ins that behave as Windows does.
#include <windows.h>

#include <wininet.h>

#include <gtest/gtest.h>

#include <atomic>

#include "Harness.h"
#include "update/UpdateCheck.h"
#include "update/Updater.h"

namespace corvinade {
namespace {

void* const Session = reinterpret_cast<void*>(0x51);
HANDLE sessionClosed = nullptr; // set when Session is closed
HANDLE requestSent = nullptr;   // set when the worker waits on the endpoint
std::atomic<int> closes{0};

void* WINAPI Open(LPCWSTR, DWORD, LPCWSTR, LPCWSTR, DWORD) {
    return Session;
}
BOOL WINAPI SetOption(void*, DWORD, LPVOID, DWORD) {
    return TRUE;
}
// An endpoint that never answers: only closing the session ends the wait.
void* WINAPI OpenUrl(void* session, LPCWSTR, LPCWSTR, DWORD, DWORD, DWORD_PTR) {
    EXPECT_EQ(session, Session);
    SetEvent(requestSent);
    WaitForSingleObject(sessionClosed, INFINITE);
    SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    return nullptr;
}
BOOL WINAPI Read(void*, LPVOID, DWORD, LPDWORD) {
    return FALSE;
}
BOOL WINAPI Close(void* handle) {
    ++closes;
    if (handle == Session)
        SetEvent(sessionClosed);
    return TRUE;
}
BOOL WINAPI QueryInfo(void*, DWORD, LPVOID, LPDWORD, LPDWORD) {
    return FALSE;
}

TEST(UpdateWorkerWin32, ACancelledWorkerLeavesTheCallThatWaitsOnTheEndpoint) {
    sessionClosed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    requestSent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DownloadFunctions functions{Open, SetOption, OpenUrl, Read, Close, QueryInfo};
    TUpdateWorker worker(TUpdater(1000000, "http://127.0.0.1:9", functions), nullptr, WM_APP, 1);
    const DWORD wait = static_cast<DWORD>(test::DefaultTimeout.count());
    ASSERT_EQ(WaitForSingleObject(requestSent, wait), WAIT_OBJECT_0);

    worker.Cancel();
    EXPECT_TRUE(worker.WaitForEnd(wait)) << "the worker stayed in the call";
    EXPECT_EQ(worker.TakeAnswer().error, UpdateCheckFailedMessage);
    EXPECT_EQ(closes, 1); // closed once, by the cancel, never again by the worker
}

} // namespace
} // namespace corvinade
