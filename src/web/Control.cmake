# Sources of the download control.
