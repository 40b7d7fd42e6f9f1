<?php
class Base { function hi() { return "hi from base"; } }
