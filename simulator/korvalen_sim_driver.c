/* The driver stand-in: a small kernel-mode driver that Wine loads as a kernel service.
   It creates the product's device \\.\Korvalen, which serves the status stream and the
   enable and disable codes of a pretend hypervisor, and its own control device
   \\.\KorvalenSim, through which tests and the korvalen-sim tool set the scenario and
   read the counters. It is a test and demo tool; it switches nothing on any processor. */
#include <ntddk.h>

#include "simulator/sim_protocol.h"

#define KORVALEN_ENABLE_CODE 0x222000u
#define KORVALEN_DISABLE_CODE 0x222004u
#define SECOND_HEADER_VALUE 0x4B4F52564153494DLL
/* The high halves of the record values are not part of the product's reading; the
   stand-in fills them so that a reader who takes them is caught. */
#define ID_HIGH_HALF 0xA5A5A5A5u
#define STATUS_HIGH_HALF 0x5A5A5A5Bu

static DEVICE_OBJECT* g_productDevice;
static DEVICE_OBJECT* g_controlDevice;
static KSPIN_LOCK g_lock;
static KorvalenSimScenario g_scenario;
static KorvalenSimCounters g_counters;

static UNICODE_STRING ProductDeviceName = RTL_CONSTANT_STRING(L"\\Device\\Korvalen");
static UNICODE_STRING ProductLinkName = RTL_CONSTANT_STRING(L"\\DosDevices\\Korvalen");
static UNICODE_STRING ControlDeviceName = RTL_CONSTANT_STRING(L"\\Device\\KorvalenSim");
static UNICODE_STRING ControlLinkName = RTL_CONSTANT_STRING(L"\\DosDevices\\KorvalenSim");

/* A hypervisor on four processors, all enabled, no problem codes, every command accepted. */
static void SetDefaultScenario(KorvalenSimScenario* s) {
    RtlZeroMemory(s, sizeof(*s));
    s->processorCount = 4;
    for (uint32_t i = 0; i < s->processorCount; ++i) s->status[i] = 1;
}

static NTSTATUS Complete(IRP* irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static void* BufferOf(IRP* irp) {
    return irp->AssociatedIrp.SystemBuffer ? irp->AssociatedIrp.SystemBuffer : irp->UserBuffer;
}

/* The 64-bit value at index k of the status stream that a read with this index sees. */
static uint64_t StreamValue(const KorvalenSimScenario* s, uint64_t readIndex, uint32_t k) {
    if (k == 0) {
        if (readIndex == 0 && (s->faults & KORVALEN_SIM_FAULT_FIRST_COUNT))
            return (uint64_t)s->firstCount;
        if (readIndex > 0 && (s->faults & KORVALEN_SIM_FAULT_SECOND_COUNT))
            return (uint64_t)s->secondCount;
        return s->processorCount;
    }
    if (k == 1) return (uint64_t)SECOND_HEADER_VALUE;
    uint32_t record = (k - 2) / 2;
    if ((k & 1) == 0) return ((uint64_t)ID_HIGH_HALF << 32) | record;
    return ((uint64_t)STATUS_HIGH_HALF << 32) | s->status[record];
}

static NTSTATUS OnCreate(DEVICE_OBJECT* device, IRP* irp) {
    if (device == g_productDevice) {
        IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
        IO_SECURITY_CONTEXT* security = stack->Parameters.Create.SecurityContext;
        KIRQL irql;
        KeAcquireSpinLock(&g_lock, &irql);
        if (g_counters.opens < KORVALEN_SIM_OPEN_LOG) {
            g_counters.openAccess[g_counters.opens] =
                security ? security->DesiredAccess : KORVALEN_SIM_ACCESS_UNKNOWN;
            g_counters.openShare[g_counters.opens] = stack->Parameters.Create.ShareAccess;
        }
        ++g_counters.opens;
        KeReleaseSpinLock(&g_lock, irql);
        stack->FileObject->FsContext = NULL; /* reads made */
    }
    return Complete(irp, STATUS_SUCCESS, 0);
}

/* An absent driver is a missing name: Wine opens a device before its driver has answered
   the create request, so a refusal there would not fail the open. */
static void ShowProductDevice(BOOLEAN shown) {
    static BOOLEAN linked = TRUE;
    if (shown == linked) return;
    if (shown)
        linked = NT_SUCCESS(IoCreateSymbolicLink(&ProductLinkName, &ProductDeviceName));
    else
        linked = !NT_SUCCESS(IoDeleteSymbolicLink(&ProductLinkName));
}

static NTSTATUS OnClose(DEVICE_OBJECT* device, IRP* irp) {
    if (device == g_productDevice) {
        KIRQL irql;
        KeAcquireSpinLock(&g_lock, &irql);
        ++g_counters.closes;
        KeReleaseSpinLock(&g_lock, irql);
    }
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS OnRead(DEVICE_OBJECT* device, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    ULONG length = stack->Parameters.Read.Length;
    unsigned char* out = (unsigned char*)BufferOf(irp);
    KorvalenSimScenario s;
    KIRQL irql;
    uint64_t readIndex;
    if (device != g_productDevice) return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);

    readIndex = (uint64_t)(ULONG_PTR)stack->FileObject->FsContext;
    stack->FileObject->FsContext = (void*)(ULONG_PTR)(readIndex + 1);
    KeAcquireSpinLock(&g_lock, &irql);
    if (g_counters.reads < KORVALEN_SIM_READ_LOG) g_counters.readLengths[g_counters.reads] = length;
    ++g_counters.reads;
    s = g_scenario;
    KeReleaseSpinLock(&g_lock, irql);

    if (readIndex == 0 && (s.faults & KORVALEN_SIM_FAULT_FIRST_READ))
        return Complete(irp, STATUS_UNEXPECTED_IO_ERROR, 0);
    if (readIndex == 1 && (s.faults & KORVALEN_SIM_FAULT_SECOND_READ))
        return Complete(irp, STATUS_UNEXPECTED_IO_ERROR, 0);

    /* Always from the stream's start, as far as the requested length reaches. */
    ULONG streamLength = (s.processorCount + 1) * 16;
    ULONG delivered = length < streamLength ? length : streamLength;
    if ((s.faults & KORVALEN_SIM_FAULT_SHORT_READ) && s.shortReadBytes < delivered)
        delivered = s.shortReadBytes;
    if (delivered > 0 && out == NULL) return Complete(irp, STATUS_INVALID_USER_BUFFER, 0);
    for (ULONG offset = 0; offset < delivered; ++offset) {
        uint64_t value = StreamValue(&s, readIndex, offset / 8);
        out[offset] = (unsigned char)(value >> (8 * (offset % 8)));
    }
    return Complete(irp, STATUS_SUCCESS, delivered);
}

static NTSTATUS OnProductControl(IRP* irp, ULONG code, ULONG outLength) {
    unsigned char* out = (unsigned char*)BufferOf(irp);
    KIRQL irql;
    NTSTATUS status = STATUS_SUCCESS;
    uint32_t answer = 0;
    ULONG answerBytes = 4;
    if (code != KORVALEN_ENABLE_CODE && code != KORVALEN_DISABLE_CODE)
        return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);

    KeAcquireSpinLock(&g_lock, &irql);
    if (code == KORVALEN_ENABLE_CODE)
        ++g_counters.enables;
    else
        ++g_counters.disables;
    if (g_scenario.faults & KORVALEN_SIM_FAULT_CONTROL) {
        status = STATUS_UNEXPECTED_IO_ERROR;
    } else if (outLength < 4 || out == NULL) {
        status = STATUS_BUFFER_TOO_SMALL;
    } else if (code == KORVALEN_ENABLE_CODE) {
        answer = g_scenario.enableAnswer;
        /* Enabled wherever the processor has no problem; a refusal changes nothing. */
        for (uint32_t i = 0; answer == 0 && i < g_scenario.processorCount; ++i)
            if ((g_scenario.status[i] >> 28) == 0) g_scenario.status[i] |= 1u;
    } else {
        answer = g_scenario.disableAnswer;
        for (uint32_t i = 0; answer == 0 && i < g_scenario.processorCount; ++i)
            g_scenario.status[i] &= ~1u;
    }
    if ((g_scenario.faults & KORVALEN_SIM_FAULT_SHORT_ANSWER) && g_scenario.answerBytes < 4)
        answerBytes = g_scenario.answerBytes;
    KeReleaseSpinLock(&g_lock, irql);

    if (status != STATUS_SUCCESS) return Complete(irp, status, 0);
    for (ULONG i = 0; i < answerBytes; ++i) out[i] = (unsigned char)(answer >> (8 * i));
    return Complete(irp, STATUS_SUCCESS, answerBytes);
}

static NTSTATUS OnSimControl(IRP* irp, ULONG code, ULONG inLength, ULONG outLength) {
    void* buffer = BufferOf(irp);
    KIRQL irql;
    switch (code) {
        case KORVALEN_SIM_IOCTL_SET_SCENARIO: {
            KorvalenSimScenario s;
            if (inLength != sizeof s || buffer == NULL)
                return Complete(irp, STATUS_INFO_LENGTH_MISMATCH, 0);
            RtlCopyMemory(&s, buffer, sizeof s);
            if (s.processorCount > KORVALEN_SIM_MAX_PROCESSORS)
                return Complete(irp, STATUS_INVALID_PARAMETER, 0);
            KeAcquireSpinLock(&g_lock, &irql);
            g_scenario = s;
            KeReleaseSpinLock(&g_lock, irql);
            ShowProductDevice((s.faults & KORVALEN_SIM_FAULT_ABSENT) == 0);
            return Complete(irp, STATUS_SUCCESS, 0);
        }
        case KORVALEN_SIM_IOCTL_GET_SCENARIO:
            if (outLength < sizeof g_scenario || buffer == NULL)
                return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
            KeAcquireSpinLock(&g_lock, &irql);
            RtlCopyMemory(buffer, &g_scenario, sizeof g_scenario);
            KeReleaseSpinLock(&g_lock, irql);
            return Complete(irp, STATUS_SUCCESS, sizeof g_scenario);
        case KORVALEN_SIM_IOCTL_GET_COUNTERS:
            if (outLength < sizeof g_counters || buffer == NULL)
                return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
            KeAcquireSpinLock(&g_lock, &irql);
            RtlCopyMemory(buffer, &g_counters, sizeof g_counters);
            KeReleaseSpinLock(&g_lock, irql);
            return Complete(irp, STATUS_SUCCESS, sizeof g_counters);
        case KORVALEN_SIM_IOCTL_RESET:
            KeAcquireSpinLock(&g_lock, &irql);
            SetDefaultScenario(&g_scenario);
            RtlZeroMemory(&g_counters, sizeof g_counters);
            KeReleaseSpinLock(&g_lock, irql);
            ShowProductDevice(TRUE);
            return Complete(irp, STATUS_SUCCESS, 0);
        case KORVALEN_SIM_IOCTL_RESET_COUNTERS:
            KeAcquireSpinLock(&g_lock, &irql);
            RtlZeroMemory(&g_counters, sizeof g_counters);
            KeReleaseSpinLock(&g_lock, irql);
            return Complete(irp, STATUS_SUCCESS, 0);
        default: return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}

static NTSTATUS OnControl(DEVICE_OBJECT* device, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    if (device == g_productDevice) return OnProductControl(irp, code, outLength);
    return OnSimControl(irp, code, inLength, outLength);
}

static void OnUnload(DRIVER_OBJECT* driver) {
    (void)driver;
    IoDeleteSymbolicLink(&ControlLinkName);
    IoDeleteSymbolicLink(&ProductLinkName);
    if (g_controlDevice) IoDeleteDevice(g_controlDevice);
    if (g_productDevice) IoDeleteDevice(g_productDevice);
    g_controlDevice = NULL;
    g_productDevice = NULL;
}

static NTSTATUS CreateDeviceWithLink(DRIVER_OBJECT* driver, UNICODE_STRING* name,
                                     UNICODE_STRING* link, DEVICE_OBJECT** device) {
    NTSTATUS status = IoCreateDevice(driver, 0, name, FILE_DEVICE_UNKNOWN, 0, FALSE, device);
    if (!NT_SUCCESS(status)) return status;
    (*device)->Flags |= DO_BUFFERED_IO;
    status = IoCreateSymbolicLink(link, name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(*device);
        *device = NULL;
    }
    return status;
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT* driver, UNICODE_STRING* registryPath) {
    NTSTATUS status;
    (void)registryPath;
    KeInitializeSpinLock(&g_lock);
    SetDefaultScenario(&g_scenario);
    RtlZeroMemory(&g_counters, sizeof g_counters);

    driver->MajorFunction[IRP_MJ_CREATE] = OnCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = OnClose;
    driver->MajorFunction[IRP_MJ_READ] = OnRead;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = OnControl;
    driver->DriverUnload = OnUnload;

    status = CreateDeviceWithLink(driver, &ControlDeviceName, &ControlLinkName, &g_controlDevice);
    if (!NT_SUCCESS(status)) return status;
    status = CreateDeviceWithLink(driver, &ProductDeviceName, &ProductLinkName, &g_productDevice);
    if (!NT_SUCCESS(status)) OnUnload(driver);
    return status;
}
