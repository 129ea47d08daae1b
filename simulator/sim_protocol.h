/* The control protocol of the driver stand-in: its device, its control codes and the
   records they carry. Shared by the kernel-mode stand-in (C) and its user-mode client. */
#ifndef KORVALEN_SIM_PROTOCOL_H
#define KORVALEN_SIM_PROTOCOL_H

#include <stdint.h>

/* The stand-in's own control device, apart from the product's device, so that nothing in
   the product knows about it. */
#define KORVALEN_SIM_DEVICE_PATH "\\\\.\\KorvalenSim"
#define KORVALEN_SIM_SERVICE_NAME "KorvalenSim"

#define KORVALEN_SIM_MAX_PROCESSORS 64
#define KORVALEN_SIM_READ_LOG 32
#define KORVALEN_SIM_OPEN_LOG 8
/* An open whose desired access the system did not hand to the driver. */
#define KORVALEN_SIM_ACCESS_UNKNOWN 0xFFFFFFFFu

/* CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, FILE_ANY_ACCESS) */
#define KORVALEN_SIM_CTL(function) ((0x22u << 16) | ((uint32_t)(function) << 2))
#define KORVALEN_SIM_IOCTL_SET_SCENARIO KORVALEN_SIM_CTL(0x900)
#define KORVALEN_SIM_IOCTL_GET_SCENARIO KORVALEN_SIM_CTL(0x901)
#define KORVALEN_SIM_IOCTL_GET_COUNTERS KORVALEN_SIM_CTL(0x902)
#define KORVALEN_SIM_IOCTL_RESET KORVALEN_SIM_CTL(0x903) /* default scenario, counters 0 */
#define KORVALEN_SIM_IOCTL_RESET_COUNTERS KORVALEN_SIM_CTL(0x904)

/* Faults, bits of KorvalenSimScenario.faults. */
#define KORVALEN_SIM_FAULT_ABSENT 0x01u       /* the product's device is gone: opens fail */
#define KORVALEN_SIM_FAULT_FIRST_READ 0x02u   /* the first read of a handle fails */
#define KORVALEN_SIM_FAULT_SECOND_READ 0x04u  /* the second read of a handle fails */
#define KORVALEN_SIM_FAULT_FIRST_COUNT 0x08u  /* first read's Count is firstCount */
#define KORVALEN_SIM_FAULT_SECOND_COUNT 0x10u /* later reads' Count is secondCount */
#define KORVALEN_SIM_FAULT_SHORT_READ 0x20u   /* reads deliver at most shortReadBytes */
#define KORVALEN_SIM_FAULT_CONTROL 0x40u      /* enable and disable fail */
#define KORVALEN_SIM_FAULT_SHORT_ANSWER 0x80u /* answers deliver only answerBytes bytes */

typedef struct KorvalenSimScenario {
    uint32_t processorCount; /* at most KORVALEN_SIM_MAX_PROCESSORS */
    uint32_t status[KORVALEN_SIM_MAX_PROCESSORS];
    uint32_t enableAnswer;
    uint32_t disableAnswer;
    uint32_t faults;
    uint32_t shortReadBytes;
    uint32_t answerBytes;
    uint32_t reserved[2]; /* keeps the 64-bit fields aligned without hidden padding */
    int64_t firstCount;
    int64_t secondCount;
} KorvalenSimScenario;

typedef struct KorvalenSimCounters {
    uint32_t opens; /* successful opens of the product's device */
    uint32_t closes;
    uint32_t reads;
    uint32_t enables;
    uint32_t disables;
    uint32_t readLengths[KORVALEN_SIM_READ_LOG]; /* the first reads since the last reset */
    /* The desired access and share mode of the first opens of the product's device. */
    uint32_t openAccess[KORVALEN_SIM_OPEN_LOG];
    uint32_t openShare[KORVALEN_SIM_OPEN_LOG];
} KorvalenSimCounters;

#ifdef __cplusplus
static_assert(sizeof(KorvalenSimScenario) == 304, "same layout for every architecture");
static_assert(sizeof(KorvalenSimCounters) == 212, "same layout for every architecture");
#else
_Static_assert(sizeof(KorvalenSimScenario) == 304, "same layout for every architecture");
_Static_assert(sizeof(KorvalenSimCounters) == 212, "same layout for every architecture");
#endif

#endif
