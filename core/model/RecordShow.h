// The record forms of examples, collections and models, for debugging:
// Example {vectorReal = array (1,1) [(1,(0,2.0))], ...}. Neither program
// prints them.
#pragma once

#include <string>

#include "core/examples/Example.h"
#include "core/examples/ExampleCollection.h"
#include "core/model/Model.h"

namespace kelvor {

// In parentheses at precedence 11 or more.
void showsPrecExample(std::string& out, int precedence, const Example& e);
std::string showExample(const Example& e);

// [(Example {...},1.0),...] at any precedence.
void showsExamples(std::string& out, const ExampleCollection& c);
std::string showExamples(const ExampleCollection& c);

void showsPrecModel(std::string& out, int precedence, const Model& m);
std::string showModel(const Model& m);

}  // namespace kelvor
