#pragma once

namespace ortholume::converter
{
/** SIGINT, SIGTERM and SIGHUP only raise a flag that the conversion loops poll
    between blocks, so every job can remove its temporary file before exiting.
    SIGXFSZ and SIGPIPE are ignored: a file-size limit or a closed pipe must turn
    into a failed write that is reported, not kill the process mid-file. */
void installSignalHandlers();

bool interruptionRequested() noexcept;

/** The signal that asked us to stop, or 0. */
int interruptingSignal() noexcept;
} // namespace ortholume::converter
