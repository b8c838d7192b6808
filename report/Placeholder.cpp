namespace report {}
