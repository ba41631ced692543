# Helpers for building device modules (libraries with export tables, resource-only PE files).
