<?php class Base { function who() { return "base"; } }
