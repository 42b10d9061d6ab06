namespace platform {}
