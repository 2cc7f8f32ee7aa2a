// application object
