// The number of kernel handles (events, threads, change notifications...)
// this process holds, for leak checks beside CountResources, which sees GDI
// and USER objects only.  GetProcessHandleCount answers 0 under Wine, so the
// handle values are probed one by one.
#pragma once

int CountKernelHandles();
